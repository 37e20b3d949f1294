#pragma once
// TDictn: the spelling dictionary the word judge asks "is this a word?".
//
// The dictionary is a record image: one 15-byte record per word, the byte 0x1E
// followed by the word in upper-case letters, cut to 14 letters and padded with
// spaces, in ascending byte order (a cut word may repeat the 14-letter key before
// it). The image is built from resources/words/dictionary.txt at build time and
// carried in the program; it is checked once when the dictionary is created and
// then searched in memory. Nothing is written to disk.
//
// When the image is missing or damaged the dictionary is closed: loadError() gives
// the message to show (once, by the owner) and every word is refused.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <array>

class TDictn
{
public:
    static constexpr qsizetype RecordSize = 15;
    static constexpr qsizetype WordLength = 14; // letters kept of a word
    static constexpr char RecordMarker = 0x1E;

    // Loads the image built into the program.
    TDictn();
    // Loads the given image (the default constructor passes the built-in one).
    explicit TDictn(QByteArray image);

    // Index (from 0) of the first record whose word equals the key, or -1. The key
    // is normalised first: bytes 0x00 count as spaces, leading and trailing spaces
    // are dropped and ASCII letters are upper-cased, so "about", "ABOUT" and
    // " about " are the same key; an empty key and a key of more than 14 letters
    // never match. Both overloads answer alike for the same characters.
    int FindWord(QByteArrayView key) const;
    int FindWord(QStringView key) const;
    bool IsWord(QByteArrayView word) const { return FindWord(word) >= 0; }
    bool IsWord(QStringView word) const { return FindWord(word) >= 0; }

    bool isOpen() const { return m_open; }
    // "English.dic dictionary not found!" when the image was missing or damaged,
    // else empty. The dictionary never reports it itself: its owner shows it once.
    QString loadError() const;
    // What exactly was wrong with the image, for logs and tests; empty when open.
    QString loadFault() const { return m_fault; }

    qsizetype recordCount() const { return m_open ? m_image.size() / RecordSize : 0; }
    // The word of record index, trailing padding removed (empty when out of range).
    QByteArray recordWord(qsizetype index) const;

private:
    // Records are grouped by their first two letters: the records starting with
    // letters a, b lie in [m_groupStart[a * 26 + b], m_groupStart[a * 26 + b + 1]).
    static constexpr int GroupCount = 26 * 26;

    bool check();
    int search(const char *key, qsizetype length) const;

    QByteArray m_image;
    bool m_open = false;
    QString m_fault;
    std::array<int, GroupCount + 1> m_groupStart{};
};
