#pragma once
// The words a computer player knows, indexed by pattern. Built once per program
// and shared by every computer player: for each vocabulary, one bitset of words
// per (position, letter), so the words that fit a pattern are the AND of at most
// five bitsets — a few microseconds for the whole dictionary.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <vector>

class TDictn;
class TargetList;

enum class Vocabulary {
    Common, // the target list: the words anybody knows
    Full,   // the target list and every five-letter word of the dictionary
};

class WordIndex
{
public:
    static constexpr int WordLength = 5;

    // Words of five lower-case letters; others are left out. The full vocabulary
    // always holds the common one. Both are kept sorted and without repeats.
    WordIndex(const QList<QByteArray> &common, const QList<QByteArray> &full);
    // The target list as the common words, the dictionary's five-letter words
    // added for the full vocabulary.
    WordIndex(const TDictn &spell, const TargetList &targets);

    // The index of the word lists built into the program, made on first use.
    static const WordIndex &shared();

    int size(Vocabulary v) const { return static_cast<int>(table(v).words.size()); }
    const QByteArray &word(Vocabulary v, int i) const { return table(v).words[static_cast<size_t>(i)]; }

    // Indexes (ascending) of the words of the vocabulary that fit the pattern:
    // five characters, a lower-case letter where the letter is shown, anything
    // else for a blank. A pattern of another length fits nothing.
    void fitting(Vocabulary v, QByteArrayView pattern, std::vector<int> &out) const;
    int countFitting(Vocabulary v, QByteArrayView pattern) const;

    // The plain test: the word has five letters and every shown letter matches.
    static bool fits(QByteArrayView word, QByteArrayView pattern);

private:
    struct Table
    {
        std::vector<QByteArray> words;
        size_t blocks = 0;          // 64-bit words per bitset
        std::vector<quint64> bits;  // bitset of (position * 26 + letter) at that * blocks
    };

    static Table build(QList<QByteArray> words);
    const Table &table(Vocabulary v) const { return v == Vocabulary::Common ? m_common : m_full; }
    // The AND of the bitsets of the shown letters into scratch; false when the
    // pattern has another length (nothing fits).
    bool match(const Table &t, QByteArrayView pattern, std::vector<quint64> &scratch) const;

    Table m_common;
    Table m_full;
};
