#pragma once
// Inputs for the compressor tests, all from fixed seeds.
#include <QByteArray>
#include <random>

namespace testdata {

inline QByteArray randomBytes(qsizetype n, unsigned seed)
{
    std::mt19937 gen(seed);
    QByteArray b(n, Qt::Uninitialized);
    for (auto &c : b)
        c = static_cast<char>(gen() & 0xFF);
    return b;
}

// Lower-case words of 2 to 9 letters from a vocabulary of 500, separated by
// spaces and an occasional line break: text with the repetition of real text.
inline QByteArray words(qsizetype n, unsigned seed)
{
    std::mt19937 gen(seed);
    QList<QByteArray> vocabulary;
    for (int i = 0; i < 500; ++i) {
        QByteArray w;
        for (int k = 2 + int(gen() % 8); k > 0; --k)
            w += char('a' + gen() % 26);
        vocabulary << w;
    }
    QByteArray text;
    while (text.size() < n) {
        text += vocabulary.at(gen() % 500);
        text += gen() % 12 == 0 ? '\n' : ' ';
    }
    text.truncate(n);
    return text;
}

// Bytes from 16 values with very unequal frequencies and no longer structure:
// little for LZRW1/KH to find, much for Huffman coding.
inline QByteArray skewed(qsizetype n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::discrete_distribution<int> pick({40, 20, 10, 8, 6, 5, 3, 2, 1, 1, 1, 1, 1, 1, 1, 1});
    QByteArray b(n, Qt::Uninitialized);
    for (auto &c : b)
        c = static_cast<char>(pick(gen));
    return b;
}

inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b += static_cast<char>(v);
    return b;
}

inline QByteArray fastHeader(quint32 length)
{
    return QByteArray("WRZL") + bytes({int(length & 0xFF), int(length >> 8 & 0xFF), int(length >> 16 & 0xFF),
                                       int(length >> 24)});
}

inline QByteArray goodHeader(quint32 length)
{
    return QByteArray("!HZL") + fastHeader(length).mid(4);
}

// One block: its little-endian length and the body.
inline QByteArray block(const QByteArray &body)
{
    return bytes({int(body.size() & 0xFF), int(body.size() >> 8)}) + body;
}

} // namespace testdata
