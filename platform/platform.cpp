#include "platform.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vexlo::platform {

QString dataFolder()
{
    QString folder = qEnvironmentVariable("VEXLO_HOME");
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return folder;
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

QString gamePort()
{
    const QString env = qEnvironmentVariable("VEXLO_PORT");
    bool ok = false;
    const uint port = env.toUInt(&ok);
    if (ok && port <= 65535)
        return QString::number(port);
    return QStringLiteral("7772");
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
