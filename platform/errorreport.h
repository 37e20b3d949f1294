#pragma once
// The program's one general error report. Components throw exceptions carrying a
// finished message; the places where events enter the program (socket
// notifications, timer ticks) catch them and hand the text here. The window
// program shows it in a message box, the headless programs print it.
#include <QString>
#include <functional>
#include <stdexcept>

namespace vexlo {

using ErrorReporter = std::function<void(const QString &)>;

// Replaces the reporter; the default writes the text to standard error.
void setErrorReporter(ErrorReporter reporter);
void reportError(const QString &text);

// Runs fn and reports any exception it throws; returns false when one was thrown.
template <typename Fn>
bool guarded(Fn &&fn)
{
    try {
        fn();
        return true;
    } catch (const std::exception &e) {
        reportError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        reportError(QStringLiteral("Unknown error"));
    }
    return false;
}

} // namespace vexlo
