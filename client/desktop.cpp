#include "desktop.h"

#include "colortext.h"

#include <QColor>
#include <QColorDialog>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>

#include <memory>

namespace vexlo::platform {

QMessageBox *errorBox(const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Vexlo"), text);
    // Error texts may quote what a peer sent: never read them as markup.
    box->setTextFormat(Qt::PlainText);
    return box;
}

void showErrorBox(const QString &text)
{
    const std::unique_ptr<QMessageBox> box(errorBox(text));
    box->exec();
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
