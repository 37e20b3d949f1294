#pragma once
// The real desktop behind the hooks: message boxes, the colour chooser, opening
// links, the screen's work area; and the standard error box.
#include "desktophooks.h"

#include <QString>

namespace vexlo::platform {

DesktopHooks realDesktopHooks();

// The standard error box.
void showErrorBox(const QString &text);

} // namespace vexlo::platform
