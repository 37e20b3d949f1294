#include "helpkit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
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

void ClickLabel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
            Q_EMIT clicked();
            return;
        }
        break;
    default:
        break;
    }
    QLabel::keyPressEvent(event);
}

namespace {

class DialogKeys : public QObject
{
public:
    DialogKeys(QWidget *window, std::function<void()> escape)
        : QObject(window), m_window(window), m_escape(std::move(escape))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window || event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        if (key->key() == Qt::Key_Escape) {
            m_escape();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            auto *button = qobject_cast<QAbstractButton *>(QApplication::focusWidget());
            if (button && button->window() == m_window && button->isEnabled()) {
                button->click();
                return true;
            }
        }
        return false;
    }

private:
    QWidget *m_window;
    std::function<void()> m_escape;
};

} // namespace

void keyboardLikeADialog(QWidget *window, std::function<void()> escape)
{
    window->installEventFilter(new DialogKeys(window, std::move(escape)));
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

QPixmap logoPicture(int size)
{
    initHelpResources();
    const qreal scale = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    const int pixels = qRound(size * scale);
    int source = 256;
    for (int s : {48, 128})
        if (s >= pixels) {
            source = s;
            break;
        }
    QPixmap pm(QStringLiteral(":/helpwindows/vexlo-%1.png").arg(source));
    if (pm.width() != pixels)
        pm = pm.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    pm.setDevicePixelRatio(scale);
    return pm;
}

void initHelpResources()
{
    static const bool done = (registerHelpResources(), true);
    Q_UNUSED(done);
}

} // namespace vexlo
