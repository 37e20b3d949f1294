#pragma once
// What the game needs from the machine it runs on: its data folder, the "vexlo"
// lock that tells other local programs the game runs, the game port and the
// address a chat link opens. Qt Core only: the boxes and choosers of the desktop
// are behind DesktopHooks (desktophooks.h), filled in by the windows.
#include <QString>
#include <QUrl>

namespace vexlo::platform {

// $VEXLO_HOME when set, else the per-user data folder; created on first use.
// Settings, the tally, tile sets and downloads all live here.
QString dataFolder();

// Takes a shared lock on "vexlo.lock" in the runtime folder and holds it for the
// life of the process. Nothing tests it: it only lets other programs see that
// the game runs. Returns false when the lock file cannot be opened.
bool holdInstanceLock();

// The game port: VEXLO_PORT when it holds a port number, else 7772.
QString gamePort();

// The address a chat link opens ("www.x" opens as a web address); an empty URL
// for anything that would name a local file.
QUrl linkUrl(const QString &link);

} // namespace vexlo::platform
