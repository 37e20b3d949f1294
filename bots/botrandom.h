#pragma once
// The computer players' own random generator (SplitMix64): small, the same
// sequence on every platform for the same seed, so games and benchmarks with
// computer players repeat exactly.
#include <QtGlobal>

class BotRandom
{
public:
    explicit BotRandom(quint64 seed = 0) : m_state(seed) {}

    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n - 1 (0 when n is 0 or less).
    int below(int n)
    {
        return n <= 0 ? 0 : static_cast<int>((next() >> 32) * static_cast<quint64>(n) >> 32);
    }
    // [0, 1)
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    double uniform(double lo, double hi) { return lo + (hi - lo) * unit(); }
    // A factor of 0.75 to 1.25: every time a computer player takes is jittered by it.
    double jitter() { return uniform(0.75, 1.25); }

private:
    quint64 m_state;
};
