#include "platform.h"

#include "tdownload.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>

#include <memory>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vexlo::platform {

QString dataFolder()
{
    return Tdownload::dataFolder();
}

bool holdInstanceLock()
{
    // Without a runtime folder of the session the lock lives in the temporary folder.
    QString dir = qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")
                      ? QString()
                      : QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    const QByteArray path = QFile::encodeName(QDir(dir).filePath(QStringLiteral("vexlo.lock")));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    // Held (and the descriptor kept open) until the process ends.
    return ::flock(fd, LOCK_SH | LOCK_NB) == 0;
}

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

QString gamePort()
{
    const QString env = qEnvironmentVariable("VEXLO_PORT");
    bool ok = false;
    const uint port = env.toUInt(&ok);
    if (ok && port <= 65535)
        return QString::number(port);
    return QStringLiteral("7772");
}

DesktopHooks DesktopHooks::real()
{
    DesktopHooks h;
    h.message = [](QWidget *parent, const QString &text) {
        QMessageBox::information(parent, QStringLiteral("Vexlo"), text);
    };
    h.chooseColor = [](QWidget *parent, TColor start) -> std::optional<TColor> {
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

QUrl linkUrl(const QString &link)
{
    QUrl url = link.startsWith(QLatin1String("www."), Qt::CaseInsensitive)
                   ? QUrl(QStringLiteral("http://") + link, QUrl::TolerantMode)
                   : QUrl(link, QUrl::TolerantMode);
    if (!url.isValid() || url.isLocalFile() || url.scheme().isEmpty()
        || url.scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) == 0)
        return {};
    return url;
}

} // namespace vexlo::platform
