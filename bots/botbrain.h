#pragma once
// What a computer player decides, apart from any connection or clock: for the
// pattern in front of it, which word it comes up with (or that it passes), how
// long it thinks and how long it takes to type. The player (computerplayer.h)
// runs these decisions on timers; the benchmarks run them on a simulated clock.
#include "botprofile.h"
#include "botrandom.h"
#include "wordindex.h"

#include <QByteArray>
#include <QSet>

#include <vector>

class BotBrain
{
public:
    // The chance to come up with one particular known word that fits, per
    // attempt: with k such words the attempt succeeds with 1 - (1 - p)^k, so a
    // pattern with a single known word is passed now and then and tried again
    // when it comes round.
    static constexpr double kRecall = 0.7;
    // Thinking with a single known word that fits takes this share longer.
    static constexpr double kFewWordsSlowdown = 0.25;

    struct Move
    {
        QByteArray word; // empty: pass
        int thinkMs = 0; // before typing (or before passing)
        int typeMs = 0;  // the five letters, each at the speed's time per letter
        int known = 0;   // known words that fit and were not refused
    };

    BotBrain(BotSpeed speed, const WordIndex &index, quint64 seed);

    // The next move on this pattern. After a refusal (retry) the thinking is
    // shorter: the player only looks for another word it already half had.
    Move plan(QByteArrayView pattern, bool retry = false);

    // Known words that fit the pattern and were never refused.
    int known(QByteArrayView pattern) const;

    // A word the server refused: it is never played again.
    void refuse(const QByteArray &word) { m_refused.insert(word); }
    bool wasRefused(const QByteArray &word) const { return m_refused.contains(word); }
    // An accepted word: other words are preferred for the rest of the round.
    void used(const QByteArray &word) { m_usedThisRound.insert(word); }
    void newRound() { m_usedThisRound.clear(); }

    BotSpeed speed() const { return m_speed; }
    const BotProfile &profile() const { return m_profile; }
    BotRandom &random() { return m_random; }

private:
    int thinkTime(int known, bool retry);

    BotSpeed m_speed;
    BotProfile m_profile;
    const WordIndex &m_index;
    BotRandom m_random;
    QSet<QByteArray> m_refused;
    QSet<QByteArray> m_usedThisRound;
    std::vector<int> m_fits; // scratch
};
