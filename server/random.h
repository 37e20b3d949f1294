#pragma once
// The game's one pseudo-random generator: a 32-bit linear congruential
// generator. The seed advances before each draw; a draw of n is the top 32 bits
// of the unsigned 64-bit product n * seed, so it lies in 0 .. n-1.
#include <QtGlobal>

class RandomGenerator
{
public:
    explicit RandomGenerator(quint32 seed = 0) : m_seed(seed) {}

    void setSeed(quint32 seed) { m_seed = seed; }
    quint32 seed() const { return m_seed; }

    quint32 Random(quint32 n)
    {
        m_seed = m_seed * 134775813u + 1u;
        return static_cast<quint32>((static_cast<quint64>(n) * m_seed) >> 32);
    }

    // The seed a program starts from: the time of day in UTC, in milliseconds
    // since midnight.
    static quint32 timeOfDaySeed();

private:
    quint32 m_seed;
};
