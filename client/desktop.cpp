#include "desktop.h"

#include "colortext.h"

#include <QColor>
#include <QColorDialog>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>

namespace vexlo::platform {

void showErrorBox(const QString &text)
{
    QMessageBox::critical(nullptr, QStringLiteral("Vexlo"), text);
}

DesktopHooks realDesktopHooks()
{
    DesktopHooks h;
    h.message = [](QWidget *parent, const QString &text) {
        QMessageBox::information(parent, QStringLiteral("Vexlo"), text);
    };
    h.chooseColor = [](QWidget *parent, quint32 start) -> std::optional<quint32> {
        const QColor c = QColorDialog::getColor(toQColor(start), parent);
        if (!c.isValid())
            return std::nullopt;
        return fromQColor(c);
    };
    h.confirm = [](QWidget *parent, const QString &question) {
        return QMessageBox::question(parent, QStringLiteral("Vexlo"), question, QMessageBox::Yes | QMessageBox::No)
               == QMessageBox::Yes;
    };
    h.openUrl = [](const QUrl &url) { QDesktopServices::openUrl(url); };
    h.workArea = [](const QWidget *window) {
        const QScreen *screen = window ? window->screen() : QGuiApplication::primaryScreen();
        return screen ? screen->availableGeometry() : QRect();
    };
    return h;
}

} // namespace vexlo::platform
