// Tchat: the tile sets. The sets that come with the game join the tile folder,
// the "Tiles" menu lists the folder's sets, and a chosen set becomes the
// current one once it has loaded.
#include "tchat.h"

#include "errorreport.h"
#include "menutext.h"
#include "platform.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>

using namespace vexlo;

namespace {

QString tileFolder()
{
    return platform::dataFolder() + QStringLiteral("/vexlotiles");
}

// The file of a tile set: name + ".bmp" in the tile folder, the letter case of
// the extension as the menu found it; empty when there is none.
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

// The "Tiles" entry of a set, found by its lookup name; null when there is none.
QAction *tileEntry(const QMenu *menu, const QString &name)
{
    QAction *entry = nullptr;
    for (QAction *a : menu->actions())
        if (a->objectName().compare(name + QStringLiteral("3"), Qt::CaseInsensitive) == 0)
            entry = a;
    return entry;
}

} // namespace

// --- tile sets ---

void Tchat::shipTileSets()
{
    // The sets that come with the game join the tile folder once; a file of the
    // same name that is already there is kept. Failures leave the menu shorter.
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

void Tchat::grouptilesmenu()
{
    grouptilesitem->clear();
    QDir dir(tileFolder());
    dir.setNameFilters({QStringLiteral("*.bmp")}); // any letter case, as on the original's file system
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::System);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    QStringList seen;
    for (const QString &file : dir.entryList()) {
        const QString name = tileSetName(file);
        // A name that cannot be a lookup name, or a second file with the same name, is skipped.
        if (name.isEmpty() || seen.contains(name, Qt::CaseInsensitive))
            continue;
        seen << name;
        creategrouptilesmenu(name);
    }
}

void Tchat::creategrouptilesmenu(const QString &name)
{
    auto *group = grouptilesitem->findChild<QActionGroup *>(QStringLiteral("tilesgroup"));
    if (!group) {
        group = new QActionGroup(grouptilesitem);
        group->setObjectName(QStringLiteral("tilesgroup"));
    }
    QAction *entry = grouptilesitem->addAction(withMnemonic(name, grouptilesitem));
    entry->setObjectName(name + QStringLiteral("3"));
    entry->setToolTip(name); // the hint
    entry->setStatusTip(name);
    entry->setCheckable(true);
    entry->setActionGroup(group);
    entry->setChecked(name.toLower() == QLatin1String("classic"));
    connect(entry, &QAction::triggered, this, [this, entry] { guarded([&] { grouptilesmenuClick(entry); }); });
}

void Tchat::loadgrouptiles(const QString &name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return; // a name, never a path
    const QString path = tileFile(name);
    if (path.isEmpty())
        return;
    // A set becomes the current one only once it has loaded: an unreadable
    // file throws here and changes nothing.
    imagelist_letters = TileSet::load(path);
    QAction *entry = tileEntry(grouptilesitem, name);
    // A file the menu skipped has no entry; its name stands for the hint.
    if (entry) {
        entry->setChecked(true);
        options.tiles = entry->toolTip();
    } else {
        options.tiles = name;
    }
    redrawtiles();
}

void Tchat::grouptilesmenuClick(QAction *entry)
{
    const QString name = entry->toolTip();
    try {
        loadgrouptiles(name);
    } catch (...) {
        // The menu checked the entry already; the check goes back to the set in use.
        QAction *current = tileEntry(grouptilesitem, options.tiles.isEmpty() ? QStringLiteral("classic") : options.tiles);
        if (current)
            current->setChecked(true);
        else
            entry->setChecked(false);
        throw;
    }
    options.tiles = name;
    redrawtiles();
    saveinifile();
}
