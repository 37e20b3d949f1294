#pragma once
// The three speeds of a computer player and what each one means, and the names
// computer players sit under.
#include "wordindex.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The values of the "Bot Speed" menu: the time per typed letter in milliseconds.
enum class BotSpeed { Slow = 2000, Normal = 1000, Fast = 500 };

struct BotProfile
{
    int letterMs;     // time per typed letter
    int thinkMinMs;   // thinking before a word, before the adjustments
    int thinkMaxMs;
    Vocabulary vocabulary;
};

BotProfile botProfile(BotSpeed speed);
int letterMs(BotSpeed speed);

// "slow", "normal", "fast" (any case); nothing for another text.
std::optional<BotSpeed> parseBotSpeed(const QString &text);
QString botSpeedName(BotSpeed speed); // "slow", "normal", "fast"
// The speed of a "Bot Speed" menu value (2000, 1000, 500); nothing for another.
std::optional<BotSpeed> botSpeedFromLetterMs(int ms);

// Names of computer players: a first name from a built-in list followed by
// " (bot)", so every window shows who is a computer player. Names are unique
// among the computer players of a program while they are held; when the list is
// used up a number follows the first name ("Ada 2 (bot)").
namespace botnames {
inline constexpr char kMark[] = " (bot)";
QByteArray claim();
void release(const QByteArray &name);
QStringList inUse();
bool isBotName(const QByteArray &name); // ends with the mark
} // namespace botnames
