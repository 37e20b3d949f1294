#pragma once
// Round-trip samples and their percentiles.
#include <algorithm>
#include <cmath>
#include <vector>

class Samples
{
public:
    void add(double ms) { m_values.push_back(ms); }
    std::size_t count() const { return m_values.size(); }
    const std::vector<double> &values() const { return m_values; }

    // Nearest-rank percentile (p from 0 to 100) in milliseconds; 0 with no samples.
    double percentile(double p) const
    {
        if (m_values.empty())
            return 0;
        std::vector<double> v = m_values;
        std::sort(v.begin(), v.end());
        const auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * double(v.size())));
        return v[std::clamp<std::size_t>(rank, 1, v.size()) - 1];
    }
    double max() const { return m_values.empty() ? 0 : *std::max_element(m_values.begin(), m_values.end()); }

private:
    std::vector<double> m_values;
};

// Round trips with how long the two ends waited for a CPU during each: the trips
// in which neither waited long show the server's own latency, the others the
// machine's share. Waking a task on an idle CPU takes some microseconds; a wait
// over kWaitMs means another task held the CPU.
class Trips
{
public:
    static constexpr double kSlowMs = 1.0;
    static constexpr double kWaitMs = 0.1;

    void add(double ms, double waitedMs)
    {
        all.add(ms);
        if (waitedMs <= kWaitMs)
            undisturbed.add(ms);
        if (ms > kSlowMs) {
            ++slow;
            slowMs += ms;
            if (waitedMs > kWaitMs) {
                ++slowWaited;
                slowWaitedMs += waitedMs;
            }
        }
    }

    Samples all;
    Samples undisturbed; // trips during which neither end waited for a CPU over kWaitMs
    int slow = 0;        // trips over kSlowMs
    int slowWaited = 0;  // ... during which an end waited for a CPU
    double slowMs = 0;
    double slowWaitedMs = 0;
};
