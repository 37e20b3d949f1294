#pragma once
// The board's pictures, drawn by the program: the built-in letter tiles, the
// check mark, the praise picture, the bonus and first-finisher marks, the
// countdown bar, the pass and clear button faces and the two check-box pictures.
// Each is drawn at the screens' scale (look::pictureScale), so it stays sharp
// on a scaled desktop; its size below is in logical pixels.
#include <QPixmap>
#include <QString>

#include "look.h"

namespace vexlo::look {

// One tile of the built-in set, 44 x 44: 0 is the blank face, 1..26 the letters A..Z.
QPixmap letterTile(int number, qreal scale = pictureScale());

QPixmap checkMarkPicture();   // 17 x 19, an accepted word
QPixmap goodJobPicture();     // 161 x 35, the list is complete
QPixmap bonusPicture();       // 55 x 17, the completion bonus
QPixmap fastestPicture();     // 16 x 16, the first to complete the list
QPixmap timerBarPicture();    // 258 x 21, the countdown bar's gradient
// 172 x 43 picture buttons: a caption over the key that does the same.
QPixmap boardButtonPicture(const QString &caption, const QString &key);
QPixmap checkBoxPicture(bool checked); // 20 x 20

} // namespace vexlo::look
