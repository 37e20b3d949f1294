#include "gameannouncement.h"

#include <QStringDecoder>

namespace vexlo::discovery {

namespace {

// DNS-SD keeps a record under 256 bytes; ours are far shorter, and a longer
// one is not ours.
constexpr qsizetype kMaxRecord = 255;

// A decimal number of at most four digits, or -1.
int smallNumber(QByteArrayView text)
{
    if (text.isEmpty() || text.size() > 5)
        return -1;
    int n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

// "x/limit" with x in 0..limit; -1 when it does not read so.
int countOf(QByteArrayView text, int limit)
{
    const qsizetype slash = text.indexOf('/');
    if (slash < 0 || smallNumber(text.sliced(slash + 1)) != limit)
        return -1;
    const int n = smallNumber(text.first(slash));
    return n <= limit ? n : -1;
}

QByteArray record(const char *key, const QByteArray &value)
{
    return QByteArray(key) + '=' + value;
}

} // namespace

QList<QByteArray> GameAnnouncement::toTxt() const
{
    auto count = [](int n, int of) { return QByteArray::number(n) + '/' + QByteArray::number(of); };
    QList<QByteArray> out{"txtvers=1"};
    if (!version.isEmpty())
        out.append(record("version", version.toUtf8()));
    if (!hostName.isEmpty())
        out.append(record("host", hostName.toUtf8().left(kMaxRecord - 5)));
    if (players >= 0)
        out.append(record("players", count(players, kSeats)));
    if (watchers >= 0)
        out.append(record("watchers", count(watchers, kWatchers)));
    out.append(record("state", playing ? "playing" : "waiting"));
    if (playing && round > 0 && rounds > 0)
        out.append(record("round", QByteArray::number(round) + '/' + QByteArray::number(rounds)));
    if (tables > 0) {
        out.append(record("tables", QByteArray::number(tables)));
        out.append(record("free", QByteArray::number(std::max(freeSeats, 0))));
    }
    return out;
}

GameAnnouncement GameAnnouncement::fromTxt(const QList<QByteArray> &records)
{
    GameAnnouncement a;
    for (const QByteArray &r : records) {
        const qsizetype eq = r.indexOf('=');
        if (eq <= 0 || r.size() > kMaxRecord)
            continue;
        const QByteArray key = r.first(eq).toLower();
        const QByteArray value = r.mid(eq + 1);
        if (key == "version") {
            a.version = shownText(value, 16);
        } else if (key == "host") {
            a.hostName = shownText(value);
        } else if (key == "players") {
            a.players = countOf(value, kSeats);
        } else if (key == "watchers") {
            a.watchers = countOf(value, kWatchers);
        } else if (key == "state") {
            a.playing = value == "playing";
        } else if (key == "round") {
            const qsizetype slash = value.indexOf('/');
            const int r1 = slash > 0 ? smallNumber(QByteArrayView(value).first(slash)) : -1;
            const int n = slash > 0 ? smallNumber(QByteArrayView(value).sliced(slash + 1)) : -1;
            if (r1 >= 1 && n >= 1 && r1 <= kMaxRounds && n <= kMaxRounds) {
                a.round = r1;
                a.rounds = n;
            }
        } else if (key == "tables") {
            const int n = smallNumber(value);
            a.tables = n >= 1 && n <= kMaxTables ? n : 0;
        } else if (key == "free") {
            a.freeSeats = smallNumber(value);
        }
    }
    // Free seats only mean something beside tables, and no more than they hold.
    if (a.tables == 0 || a.freeSeats > a.tables * kSeats)
        a.freeSeats = -1;
    if (!a.playing)
        a.round = a.rounds = 0;
    return a;
}

QString GameAnnouncement::playersText() const
{
    if (tables > 0) {
        const QString free = freeSeats >= 0 ? QString::number(freeSeats) : QStringLiteral("?");
        return QStringLiteral("%1 tables, %2 seats free").arg(tables).arg(free);
    }
    return QStringLiteral("%1/%2").arg(players >= 0 ? QString::number(players) : QStringLiteral("?")).arg(kSeats);
}

QString GameAnnouncement::watchersText() const
{
    if (tables > 0)
        return {};
    return QStringLiteral("%1/%2").arg(watchers >= 0 ? QString::number(watchers) : QStringLiteral("?")).arg(kWatchers);
}

QString GameAnnouncement::stateText() const
{
    if (!playing)
        return QStringLiteral("Waiting");
    if (round > 0 && rounds > 0)
        return QStringLiteral("Round %1 of %2").arg(round).arg(rounds);
    return QStringLiteral("Playing");
}

QString shownText(const QByteArray &utf8, int maxChars)
{
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decode(utf8.left(4 * kMaxRecord));
    if (decode.hasError())
        return {};
    QString out;
    bool blank = true; // no blank at the start
    for (const QChar c : std::as_const(text)) {
        const QChar::Category cat = c.category();
        const bool odd = cat == QChar::Other_Control || cat == QChar::Other_Format || cat == QChar::Separator_Line
                         || cat == QChar::Separator_Paragraph || c.isSpace();
        if (odd) {
            if (!blank)
                out += QLatin1Char(' ');
            blank = true;
            continue;
        }
        out += c;
        blank = false;
    }
    out = out.trimmed();
    if (out.size() > maxChars) {
        out.truncate(maxChars - 1);
        // Never end on half of a surrogate pair.
        if (!out.isEmpty() && out.back().isHighSurrogate())
            out.chop(1);
        out += QChar(0x2026);
    }
    return out;
}

} // namespace vexlo::discovery
