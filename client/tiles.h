#pragma once
// The letter tiles: a tile set (the built-in pictures or a strip loaded from a
// bitmap), and the small rules of the board that need no widget: letters to tile
// numbers, the word label, the countdown text, tile-set names from file names.
#include <QList>
#include <QPixmap>
#include <QString>

#include <stdexcept>

namespace vexlo {

inline constexpr int kTileSize = 44;
// A tile-set bitmap holds this many tiles side by side; the built-in set has 27.
inline constexpr int kTilesInStrip = 28;
inline constexpr int kBuiltInTiles = 27;

// A tile-set bitmap that cannot be read.
class ETileSetError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class TileSet
{
public:
    // The program's own set: the blank face and A..Z, drawn at the screens' scale
    // (or at the scale given), so the tiles stay sharp on a scaled desktop.
    static TileSet builtIn();
    static TileSet builtIn(qreal scale);
    // Tiles 0..27 cut from a strip of 44 x 44 squares; pure green is transparent.
    // Squares that fall outside a small picture stay transparent.
    static TileSet fromStrip(const QImage &strip);
    // Reads a bitmap file; throws ETileSetError when it is not a readable picture.
    static TileSet load(const QString &path);

    int count() const { return int(m_tiles.size()); }
    bool has(int number) const { return number >= 0 && number < count(); }
    const QPixmap &picture(int number) const { return m_tiles.at(number); }
    // The whole set as one strip of 44 x 44 squares (28 squares; a missing 28th
    // is pure green); tiles drawn at a larger scale are scaled down into it.
    QImage strip() const;

private:
    QList<QPixmap> m_tiles;
};

// 'a'..'z' -> 1..26; anything else (upper case included) -> 0, the blank tile.
int numofletter(char c);
// "First Word" .. "Last Word" for 1..10; empty for any other index.
QString wordCountText(int index);
// "Time: m:ss" as the countdown shows it (seconds below 10 get a leading 0).
QString countdownText(int seconds);
// The width of the countdown bar: the step times the seconds, never wider than
// the bar's picture nor below 0.
int barWidth(int step, int seconds);
// The tile-set name of a file name: the text before its first "."; empty when
// the name cannot be a menu entry's lookup name (it must start with a letter or
// "_" and hold only letters, digits and "_").
QString tileSetName(const QString &fileName);

} // namespace vexlo
