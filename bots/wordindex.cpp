#include "wordindex.h"

#include "targetlist.h"
#include "tdictn.h"

#include <algorithm>
#include <bit>

namespace {

bool isWord(QByteArrayView w)
{
    if (w.size() != WordIndex::WordLength)
        return false;
    return std::all_of(w.begin(), w.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

bool isLetter(char c)
{
    return c >= 'a' && c <= 'z';
}

} // namespace

WordIndex::WordIndex(const QList<QByteArray> &common, const QList<QByteArray> &full)
    : m_common(build(common)), m_full(build(common + full))
{
}

namespace {

QList<QByteArray> targetWords(const TargetList &targets)
{
    QList<QByteArray> out;
    out.reserve(targets.count());
    for (int i = 0; i < targets.count(); ++i)
        out << targets.at(i).toLatin1();
    return out;
}

QList<QByteArray> fiveLetterWords(const TDictn &spell)
{
    QList<QByteArray> out;
    for (qsizetype i = 0; i < spell.recordCount(); ++i) {
        const QByteArray w = spell.recordWord(i);
        if (w.size() == WordIndex::WordLength)
            out << w.toLower();
    }
    return out;
}

} // namespace

WordIndex::WordIndex(const TDictn &spell, const TargetList &targets)
    : WordIndex(targetWords(targets), fiveLetterWords(spell))
{
}

const WordIndex &WordIndex::shared()
{
    static const WordIndex index = [] {
        const TDictn spell;
        const TargetList targets;
        return WordIndex(spell, targets);
    }();
    return index;
}

WordIndex::Table WordIndex::build(QList<QByteArray> words)
{
    words.removeIf([](const QByteArray &w) { return !isWord(w); });
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());

    Table t;
    t.words.assign(words.begin(), words.end());
    t.blocks = (t.words.size() + 63) / 64;
    t.bits.assign(static_cast<size_t>(WordLength) * 26 * t.blocks, 0);
    for (size_t i = 0; i < t.words.size(); ++i) {
        const QByteArray &w = t.words[i];
        for (int pos = 0; pos < WordLength; ++pos) {
            const auto set = static_cast<size_t>(pos * 26 + (w[pos] - 'a'));
            t.bits[set * t.blocks + i / 64] |= quint64(1) << (i % 64);
        }
    }
    return t;
}

bool WordIndex::match(const Table &t, QByteArrayView pattern, std::vector<quint64> &scratch) const
{
    if (pattern.size() != WordLength)
        return false;
    scratch.assign(t.blocks, ~quint64(0));
    if (const size_t tail = t.words.size() % 64; tail && t.blocks)
        scratch.back() = (quint64(1) << tail) - 1;
    for (int pos = 0; pos < WordLength; ++pos) {
        if (!isLetter(pattern[pos]))
            continue;
        const quint64 *set = &t.bits[static_cast<size_t>(pos * 26 + (pattern[pos] - 'a')) * t.blocks];
        for (size_t b = 0; b < t.blocks; ++b)
            scratch[b] &= set[b];
    }
    return true;
}

void WordIndex::fitting(Vocabulary v, QByteArrayView pattern, std::vector<int> &out) const
{
    out.clear();
    thread_local std::vector<quint64> scratch;
    const Table &t = table(v);
    if (!match(t, pattern, scratch))
        return;
    for (size_t b = 0; b < scratch.size(); ++b) {
        for (quint64 bits = scratch[b]; bits; bits &= bits - 1)
            out.push_back(static_cast<int>(b * 64 + static_cast<size_t>(std::countr_zero(bits))));
    }
}

int WordIndex::countFitting(Vocabulary v, QByteArrayView pattern) const
{
    thread_local std::vector<quint64> scratch;
    const Table &t = table(v);
    if (!match(t, pattern, scratch))
        return 0;
    int n = 0;
    for (quint64 bits : scratch)
        n += std::popcount(bits);
    return n;
}

bool WordIndex::fits(QByteArrayView word, QByteArrayView pattern)
{
    if (!isWord(word) || pattern.size() != WordLength)
        return false;
    for (int pos = 0; pos < WordLength; ++pos)
        if (isLetter(pattern[pos]) && pattern[pos] != word[pos])
            return false;
    return true;
}
