#pragma once
// The probe's word list: the dictionary's five-letter words, to answer any
// pattern with a word that fits.
#include "tdictn.h"

#include <QByteArray>

#include <algorithm>
#include <vector>

class ProbeWords
{
public:
    explicit ProbeWords(const TDictn &spell)
    {
        for (qsizetype i = 0; i < spell.recordCount(); ++i) {
            const QByteArray w = spell.recordWord(i).toLower();
            if (w.size() == 5 && std::all_of(w.begin(), w.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
                m_words.push_back(w);
        }
    }
    std::size_t size() const { return m_words.size(); }
    // A word that fits the pattern ("_" for each blank), or empty.
    QByteArray fitting(const QByteArray &pattern) const
    {
        for (const QByteArray &w : m_words) {
            bool fits = pattern.size() == 5;
            for (int i = 0; fits && i < 5; ++i)
                fits = pattern[i] == '_' || pattern[i] == w[i];
            if (fits)
                return w;
        }
        return {};
    }

private:
    std::vector<QByteArray> m_words;
};
