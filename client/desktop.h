#pragma once
// The real desktop behind the hooks: message boxes, the colour chooser, opening
// links, the screen's work area; and the standard error box.
#include "desktophooks.h"

#include <QString>

class QMessageBox;

namespace vexlo::platform {

DesktopHooks realDesktopHooks();

// The standard error box: the text shown as plain text. errorBox builds it
// (the caller owns it), showErrorBox shows it and waits for the player.
QMessageBox *errorBox(const QString &text);
void showErrorBox(const QString &text);

} // namespace vexlo::platform
