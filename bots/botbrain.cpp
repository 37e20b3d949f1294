#include "botbrain.h"

#include <cmath>

BotBrain::BotBrain(BotSpeed speed, const WordIndex &index, quint64 seed)
    : m_speed(speed), m_profile(botProfile(speed)), m_index(index), m_random(seed)
{
}

int BotBrain::known(QByteArrayView pattern) const
{
    std::vector<int> fits;
    m_index.fitting(m_profile.vocabulary, pattern, fits);
    int n = 0;
    for (int i : fits)
        n += m_refused.contains(m_index.word(m_profile.vocabulary, i)) ? 0 : 1;
    return n;
}

// Thinking takes longer the fewer known words fit: a pattern with one word the
// player knows takes a quarter as long again as one with four or more.
int BotBrain::thinkTime(int knownWords, bool retry)
{
    double ms = m_random.uniform(m_profile.thinkMinMs, m_profile.thinkMaxMs);
    if (knownWords < 4)
        ms *= 1.0 + kFewWordsSlowdown * (4 - std::max(knownWords, 1)) / 3.0;
    if (retry)
        ms *= 0.5;
    return static_cast<int>(std::lround(ms * m_random.jitter()));
}

BotBrain::Move BotBrain::plan(QByteArrayView pattern, bool retry)
{
    const Vocabulary v = m_profile.vocabulary;
    m_index.fitting(v, pattern, m_fits);
    // Candidates: never a refused word; words not yet played this round first.
    std::vector<int> fresh, again;
    for (int i : m_fits) {
        const QByteArray &w = m_index.word(v, i);
        if (m_refused.contains(w))
            continue;
        (m_usedThisRound.contains(w) ? again : fresh).push_back(i);
    }
    Move move;
    move.known = static_cast<int>(fresh.size() + again.size());
    move.thinkMs = thinkTime(move.known, retry);
    const double recall = 1.0 - std::pow(1.0 - kRecall, move.known);
    if (move.known == 0 || m_random.unit() >= recall)
        return move; // nothing comes to mind: pass
    const std::vector<int> &from = fresh.empty() ? again : fresh;
    move.word = m_index.word(v, from[static_cast<size_t>(m_random.below(static_cast<int>(from.size())))]);
    for (int k = 0; k < WordIndex::WordLength; ++k)
        move.typeMs += static_cast<int>(std::lround(m_profile.letterMs * m_random.jitter()));
    return move;
}
