#pragma once
// Small pieces the downloader, help and about windows share.
#include <QLabel>
#include <QPixmap>

class QWidget;

namespace vexlo {

// A label that reports a left click, for pictures and links.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// Tiles the window's background with the picture (the main window hands its own
// background to the windows it owns); a null picture keeps the plain colour.
void applyBackgroundTile(QWidget *window, const QPixmap &tile);

// Registers the help pages and pictures carried in the library; the windows call
// it before they use a ":/help" or ":/helpwindows" path.
void initHelpResources();

} // namespace vexlo
