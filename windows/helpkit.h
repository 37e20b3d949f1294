#pragma once
// Small pieces the downloader, help and about windows share.
#include <QLabel>
#include <QPixmap>

#include <functional>

class QWidget;

namespace vexlo {

// A label that reports a left click, for pictures and links; one that takes the
// focus reports Enter, Return and Space as a click too.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

// Lets a window that is not a dialog be worked from the keyboard as a dialog is:
// Enter or Return presses the focused button, Escape runs escape.
void keyboardLikeADialog(QWidget *window, std::function<void()> escape);

// Tiles the window's background with the picture (the main window hands its own
// background to the windows it owns); a null picture keeps the plain colour.
void applyBackgroundTile(QWidget *window, const QPixmap &tile);

// The game's logo, size x size logical pixels, from the largest picture the
// screens' scale needs (48, 128 or 256 pixels), so it stays sharp when scaled.
QPixmap logoPicture(int size);

// Registers the help pages and pictures carried in the library; the windows call
// it before they use a ":/help" or ":/helpwindows" path.
void initHelpResources();

} // namespace vexlo
