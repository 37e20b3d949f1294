#include "tallyfile.h"

#include "lzrw1.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace vexlo::tally {

namespace {

Tlzrw1 packer(const QString &path)
{
    Tlzrw1 doit;
    doit.setCompressMode(TCompressMode::Fast);
    doit.setInputFile(path); // messages name the file
    return doit;
}

// Moves a damaged file out of the way; the new path, or "" when it stays.
QString moveAside(const QString &path)
{
    const QString bad = path + QStringLiteral(".bad");
    QFile::remove(bad);
    return QFile::rename(path, bad) ? bad : QString();
}

} // namespace

QString tallyFileName()
{
    return QStringLiteral("Vexlotally.tld");
}

QString tallyFilePath(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(tallyFileName());
}

ReadResult readTallyFile(const QString &path)
{
    ReadResult result;
    if (!QFile::exists(path))
        return result;
    try {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw ETallyException(QStringLiteral("Unable to read %1").arg(path).toStdString());
        const QByteArray packed = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw ETallyException(QStringLiteral("Unable to read %1").arg(path).toStdString());
        result.grid = TallyGrid::LoadGrid(packer(path).decompressData(packed));
        return result;
    } catch (const ELzrw1Exception &e) {
        result.error = e.message();
    } catch (const std::exception &e) {
        result.error = QString::fromLocal8Bit(e.what());
    }
    result.grid = TallyGrid();
    result.setAside = moveAside(path);
    return result;
}

void writeTallyFile(const QString &path, const TallyGrid &grid)
{
    const QByteArray packed = packer(path).compressData(grid.SaveGrid());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(packed) != packed.size() || !file.commit())
        throw ETallyException(QStringLiteral("Unable to write to %1").arg(path).toStdString());
}

} // namespace vexlo::tally
