#include "helpkit.h"

#include <QMouseEvent>
#include <QPalette>
#include <QWidget>

static void registerHelpResources()
{
    // Outside any namespace, as the resource macros require.
    Q_INIT_RESOURCE(help);
    Q_INIT_RESOURCE(helppictures);
}

namespace vexlo {

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

void applyBackgroundTile(QWidget *window, const QPixmap &tile)
{
    if (tile.isNull())
        return;
    QPalette pal = window->palette();
    pal.setBrush(QPalette::Window, QBrush(tile));
    window->setPalette(pal);
    window->setAutoFillBackground(true);
}

void initHelpResources()
{
    static const bool done = (registerHelpResources(), true);
    Q_UNUSED(done);
}

} // namespace vexlo
