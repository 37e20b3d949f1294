#include "tiles.h"

#include "boardpictures.h"

#include <QImage>
#include <QPainter>

namespace vexlo {

TileSet TileSet::builtIn()
{
    return builtIn(look::pictureScale());
}

TileSet TileSet::builtIn(qreal scale)
{
    TileSet set;
    for (int i = 0; i < kBuiltInTiles; ++i)
        set.m_tiles.append(look::letterTile(i, scale));
    return set;
}

TileSet TileSet::fromStrip(const QImage &strip)
{
    const QImage src = strip.convertToFormat(QImage::Format_ARGB32);
    const QRgb green = qRgb(0, 255, 0);
    TileSet set;
    for (int i = 0; i < kTilesInStrip; ++i) {
        QImage tile(kTileSize, kTileSize, QImage::Format_ARGB32);
        tile.fill(Qt::transparent);
        const int left = kTileSize * i;
        for (int y = 0; y < kTileSize && y < src.height(); ++y) {
            const auto *row = reinterpret_cast<const QRgb *>(src.constScanLine(y));
            auto *out = reinterpret_cast<QRgb *>(tile.scanLine(y));
            for (int x = 0; x < kTileSize && left + x < src.width(); ++x) {
                const QRgb c = row[left + x] | 0xff000000u;
                out[x] = c == green ? 0u : c;
            }
        }
        set.m_tiles.append(QPixmap::fromImage(tile));
    }
    return set;
}

TileSet TileSet::load(const QString &path)
{
    QImage image;
    if (!image.load(path) || image.isNull())
        throw ETileSetError(QStringLiteral("%1 is not a valid bitmap").arg(path).toStdString());
    return fromStrip(image);
}

QImage TileSet::strip() const
{
    QImage out(kTileSize * kTilesInStrip, kTileSize, QImage::Format_RGB32);
    out.fill(qRgb(0, 255, 0));
    QPainter p(&out);
    for (int i = 0; i < count() && i < kTilesInStrip; ++i) {
        // Transparent parts of a tile stay pure green.
        const QPixmap &picture = m_tiles.at(i);
        QImage tile = picture.toImage().convertToFormat(QImage::Format_ARGB32);
        if (tile.size() != QSize(kTileSize, kTileSize))
            tile = tile.scaled(kTileSize, kTileSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        tile.setDevicePixelRatio(1);
        for (int y = 0; y < tile.height(); ++y) {
            auto *row = reinterpret_cast<QRgb *>(tile.scanLine(y));
            for (int x = 0; x < tile.width(); ++x)
                if (qAlpha(row[x]) < 128)
                    row[x] = qRgb(0, 255, 0);
                else
                    row[x] |= 0xff000000u;
        }
        p.drawImage(kTileSize * i, 0, tile);
    }
    return out;
}

int numofletter(char c)
{
    return c >= 'a' && c <= 'z' ? c - 'a' + 1 : 0;
}

QString wordCountText(int index)
{
    static const char *const names[] = {"First Word",   "Second Word", "Third Word", "Fourth Word",
                                        "Fifth Word",   "Sixth Word",  "Seventh Word", "Eight Word",
                                        "Ninth Word",   "Last Word"};
    if (index < 1 || index > 10)
        return {};
    return QLatin1String(names[index - 1]);
}

QString countdownText(int seconds)
{
    const int minutes = seconds / 60;
    const int rest = seconds % 60;
    return QStringLiteral("Time: ") + QString::number(minutes) + (rest < 10 ? QStringLiteral(":0") : QStringLiteral(":"))
           + QString::number(rest);
}

int barWidth(int step, int seconds)
{
    const long long w = static_cast<long long>(step) * seconds;
    return w < 0 ? 0 : w > 258 ? 258 : int(w);
}

QString tileSetName(const QString &fileName)
{
    const QString name = fileName.section(QLatin1Char('.'), 0, 0);
    if (name.isEmpty())
        return {};
    auto ascii = [](QChar c) { return c.unicode() < 128; };
    const QChar first = name.front();
    if (!ascii(first) || !(first.isLetter() || first == QLatin1Char('_')))
        return {};
    for (QChar c : name)
        if (!ascii(c) || !(c.isLetterOrNumber() || c == QLatin1Char('_')))
            return {};
    return name;
}

} // namespace vexlo
