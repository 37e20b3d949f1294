#pragma once
#include <QPainter>
// The look every window of the game shares: the tiled background, the peach
// colour of chat and lists, flat buttons, the fonts, and the small pictures the
// program draws for itself (no picture files are carried).
#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>

class QWidget;
class QAbstractButton;

namespace vexlo::look {

// Chat view, chat entry and every list: red 255, green 218, blue 176.
inline QColor peach() { return QColor(255, 218, 176); }
// Text drawn straight on the tiled background.
inline QColor onBackground() { return QColor(255, 236, 214); }

// "Arial" of the window definitions: Liberation Sans, sized in pixels.
QFont arial(int pixels, bool bold = false);
// The glossy face of the big buttons: a rounded rectangle filled top to bottom
// with the three colours, a dark edge and a light inner rim.
void paintGlossyFace(QPainter &p, const QRectF &r, const QColor &top, const QColor &middle,
                     const QColor &bottom, const QColor &edge, const QColor &rim);

// The window background, one tile of it (drawn once, then shared).
const QPixmap &backgroundTile();
// Gives the widget the tiled background ("take the main window's background").
void applyBackground(QWidget *w);

// A ring around the widget while it holds a focus that came from the keyboard
// (Tab, Backtab), for controls whose own style draws none: picture buttons and
// the peach fields. A widget focused any other way looks as it always did.
void showKeyboardFocus(QWidget *w);

// A flat button face: colour, a one-pixel darker border, no bevel.
void makeFlat(QAbstractButton *b, const QColor &face);

// The scale the pictures are drawn at: the screens' device pixel ratio, so a
// scaled desktop gets sharp pictures rather than blown-up ones (1 at no scale).
qreal pictureScale();
// An empty, transparent picture of width x height logical pixels at that scale;
// paint it in logical pixels.
QPixmap canvas(int width, int height, qreal scale = pictureScale());

// Pictures.
QPixmap startButtonPicture(const QString &text, QSize size); // the image buttons
QPixmap eyesPicture();                                       // the just-watching mark, 21 x 10
QPixmap phrasePicture();                                     // speech bubble for the phrase buttons
QPixmap soundPicture();                                      // a note for the sound button

} // namespace vexlo::look
