#pragma once
// The desktop's boxes and choosers as hooks, so tests can stand in for them.
// Declared here, below every window; the real ones (message boxes, the colour
// chooser, the screen) are made by the windows (desktop.h, realDesktopHooks()).
#include <QRect>
#include <QString>
#include <QUrl>
#include <QtGlobal>

#include <functional>
#include <optional>

class QWidget;

namespace vexlo::platform {

struct DesktopHooks
{
    // An information box; returns when the user has dismissed it.
    std::function<void(QWidget *parent, const QString &text)> message;
    // A Yes/No question; true for Yes.
    std::function<bool(QWidget *parent, const QString &question)> confirm;
    // The colour chooser (a TColor, 0x00BBGGRR): the chosen colour, or nothing when cancelled.
    std::function<std::optional<quint32>(QWidget *parent, quint32 start)> chooseColor;
    // Opens a web or mail address in the user's program for it.
    std::function<void(const QUrl &url)> openUrl;
    // The desktop work area (the screen without panels) of the window's screen.
    std::function<QRect(const QWidget *window)> workArea;
};

} // namespace vexlo::platform
