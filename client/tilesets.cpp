// Preferences: the tile sets. The sets that come with the game join the tile
// folder, the folder's sets are listed for the "Tiles" menu, and a chosen set
// becomes the current one once it has loaded.
#include "preferences.h"

#include "platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace vexlo;

namespace {

QString tileFolder()
{
    return platform::dataFolder() + QStringLiteral("/vexlotiles");
}

// The file of a tile set: name + ".bmp" in the tile folder, the letter case of
// the extension as the folder has it; empty when there is none.
QString tileFile(const QString &name)
{
    const QDir dir(tileFolder());
    const QString exact = name + QStringLiteral(".bmp");
    if (QFileInfo(dir.filePath(exact)).isFile())
        return dir.filePath(exact);
    for (const QString &file : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (file.size() == exact.size() && file.startsWith(name) && file.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive))
            return dir.filePath(file);
    return {};
}

} // namespace

void Preferences::shipTileSets()
{
    // Failures leave the list shorter.
    const QString folder = tileFolder();
    if (!QDir().mkpath(folder))
        return;
    const QString classic = folder + QStringLiteral("/classic.bmp");
    if (!QFile::exists(classic))
        TileSet::builtIn(1).strip().save(classic, "BMP");
    const QDir shipped(QStringLiteral(":/vexlotiles"));
    for (const QString &name : shipped.entryList(QDir::Files)) {
        const QString target = folder + QLatin1Char('/') + name;
        if (!QFile::exists(target) && QFile::copy(shipped.filePath(name), target))
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
}

QStringList Preferences::tileSetNames()
{
    QDir dir(tileFolder());
    dir.setNameFilters({QStringLiteral("*.bmp")}); // any letter case, as on the original's file system
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::System);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    m_tileNames.clear();
    for (const QString &file : dir.entryList()) {
        const QString name = tileSetName(file);
        // A name that cannot be a lookup name, or a second file with the same name, is skipped.
        if (name.isEmpty() || m_tileNames.contains(name, Qt::CaseInsensitive))
            continue;
        m_tileNames << name;
    }
    return m_tileNames;
}

QString Preferences::tileSetInUse() const
{
    return m_options.tiles.isEmpty() ? QStringLiteral("classic") : m_options.tiles;
}

bool Preferences::loadTiles(const QString &name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return false; // a name, never a path
    const QString path = tileFile(name);
    if (path.isEmpty())
        return false;
    // A set becomes the current one only once it has loaded: an unreadable
    // file throws here and changes nothing.
    m_tiles = TileSet::load(path);
    // The name as listed; a file the list skipped stands by the name asked for.
    const auto listed = std::find_if(m_tileNames.cbegin(), m_tileNames.cend(),
                                     [&](const QString &n) { return n.compare(name, Qt::CaseInsensitive) == 0; });
    m_options.tiles = listed != m_tileNames.cend() ? *listed : name;
    Q_EMIT tilesChanged();
    return true;
}

void Preferences::chooseTileSet(const QString &name)
{
    loadTiles(name);
    m_options.tiles = name;
    Q_EMIT tilesChanged();
    save();
}
