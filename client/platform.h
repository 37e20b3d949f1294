#pragma once
// What the game needs from the desktop: its data folder, the "vexlo" lock that
// tells other local programs the game runs, the standard error box, message
// boxes, the colour chooser and opening links. The desktop parts are hooks so
// tests can stand in for them.
#include "colortext.h"

#include <QRect>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QMessageBox;
class QWidget;

namespace vexlo::platform {

// $VEXLO_HOME when set, else the per-user data folder; created on first use.
// The same folder the downloader stores the installer in (Tdownload::dataFolder).
QString dataFolder();

// Takes a shared lock on "vexlo.lock" in the runtime folder and holds it for the
// life of the process. Nothing tests it: it only lets other programs see that
// the game runs. Returns false when the lock file cannot be opened.
bool holdInstanceLock();

// The standard error box: the text shown as plain text. errorBox builds it
// (the caller owns it), showErrorBox shows it and waits for the player.
QMessageBox *errorBox(const QString &text);
void showErrorBox(const QString &text);

// The game port: VEXLO_PORT when it holds a port number, else 7772.
QString gamePort();

struct DesktopHooks
{
    // An information box; returns when the user has dismissed it.
    std::function<void(QWidget *parent, const QString &text)> message;
    // A Yes/No question; true for Yes.
    std::function<bool(QWidget *parent, const QString &question)> confirm;
    // The colour chooser: the chosen colour, or nothing when cancelled.
    std::function<std::optional<TColor>(QWidget *parent, TColor start)> chooseColor;
    // Opens a web or mail address in the user's program for it.
    std::function<void(const QUrl &url)> openUrl;
    // The desktop work area (the screen without panels) of the window's screen.
    std::function<QRect(const QWidget *window)> workArea;

    static DesktopHooks real();
};

// The address a chat link opens ("www.x" opens as a web address); an empty URL
// for anything that would name a local file.
QUrl linkUrl(const QString &link);

} // namespace vexlo::platform
