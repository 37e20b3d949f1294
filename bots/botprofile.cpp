#include "botprofile.h"

#include <QSet>

BotProfile botProfile(BotSpeed speed)
{
    switch (speed) {
    case BotSpeed::Slow: return {2000, 4000, 8000, Vocabulary::Common};
    case BotSpeed::Normal: return {1000, 2000, 4000, Vocabulary::Common};
    case BotSpeed::Fast: return {500, 1000, 2000, Vocabulary::Full};
    }
    return {1000, 2000, 4000, Vocabulary::Common};
}

int letterMs(BotSpeed speed)
{
    return botProfile(speed).letterMs;
}

std::optional<BotSpeed> parseBotSpeed(const QString &text)
{
    const QString t = text.toLower();
    if (t == QLatin1String("slow"))
        return BotSpeed::Slow;
    if (t == QLatin1String("normal"))
        return BotSpeed::Normal;
    if (t == QLatin1String("fast"))
        return BotSpeed::Fast;
    return std::nullopt;
}

std::optional<BotSpeed> botSpeedFromLetterMs(int ms)
{
    for (BotSpeed s : {BotSpeed::Slow, BotSpeed::Normal, BotSpeed::Fast})
        if (letterMs(s) == ms)
            return s;
    return std::nullopt;
}

QString botSpeedName(BotSpeed speed)
{
    switch (speed) {
    case BotSpeed::Slow: return QStringLiteral("slow");
    case BotSpeed::Normal: return QStringLiteral("normal");
    case BotSpeed::Fast: return QStringLiteral("fast");
    }
    return {};
}

namespace botnames {

namespace {

const char *const kFirstNames[] = {"Ada", "Bram", "Cleo", "Dara", "Emil", "Fern",
                                   "Gus", "Hedy", "Ivo", "Juno", "Kit", "Lena"};

QSet<QByteArray> &held()
{
    static QSet<QByteArray> names;
    return names;
}

} // namespace

QByteArray claim()
{
    for (int round = 1;; ++round) {
        for (const char *first : kFirstNames) {
            QByteArray name = first;
            if (round > 1)
                name += ' ' + QByteArray::number(round);
            name += kMark;
            if (!held().contains(name)) {
                held().insert(name);
                return name;
            }
        }
    }
}

void release(const QByteArray &name)
{
    held().remove(name);
}

QStringList inUse()
{
    QStringList out;
    for (const QByteArray &n : held())
        out << QString::fromLatin1(n);
    out.sort();
    return out;
}

bool isBotName(const QByteArray &name)
{
    return name.endsWith(kMark);
}

} // namespace botnames
