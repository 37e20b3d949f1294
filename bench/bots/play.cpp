// The decisions of computer players on a simulated clock: no sockets, no waiting.
//  - words per 60-second round of each speed over many seeded rounds, each round
//    ten targets drawn from the target list with one of the four pattern shapes;
//  - the time to choose a word (BotBrain::plan: the index look-up and the pick)
//    over every target in every shape, p50 and p99, beside a plain scan of the
//    same vocabulary.
//   bench_bots_play [ROUNDS]
#include "botbrain.h"

#include <QByteArray>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

QByteArray shaped(const QByteArray &w, int shape)
{
    static const char *const kept[] = {"10101", "10001", "01010", "01110"};
    QByteArray p = w;
    for (int k = 0; k < 5; ++k)
        if (kept[shape][k] == '0')
            p[k] = '_';
    return p;
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    const auto rank = static_cast<size_t>(p / 100.0 * double(v.size()) + 0.999999);
    return v[std::clamp<size_t>(rank, 1, v.size()) - 1];
}

struct RoundResult
{
    int words = 0;
    double seconds = 64;
    bool full = false;
};

// One round as the server runs it for one seat: the blank words come round in
// order, a pass moves on, an accepted word is filled. A 60-second round runs 64 s
// on the server before time-up (the players' clocks show 60); nothing counts after.
RoundResult playRound(BotBrain &brain, BotRandom &draw, const WordIndex &index)
{
    QByteArray pattern[11];
    for (int i = 1; i <= 10; ++i) {
        const QByteArray &target = index.word(Vocabulary::Common, draw.below(index.size(Vocabulary::Common)));
        pattern[i] = shaped(target, draw.below(4));
    }
    bool filled[11] = {};
    brain.newRound();
    RoundResult r;
    double t = 0;
    int current = 1;
    int passesInARow = 0;
    constexpr double kRoundMs = 64000;
    while (passesInARow < 30) {
        const BotBrain::Move m = brain.plan(pattern[current]);
        t += m.thinkMs;
        if (t > kRoundMs)
            break;
        if (!m.word.isEmpty()) {
            t += m.typeMs;
            if (t > kRoundMs)
                break;
            filled[current] = true;
            brain.used(m.word);
            ++r.words;
            passesInARow = 0;
        } else {
            ++passesInARow;
        }
        int next = 0;
        for (int k = 1; k <= 10 && !next; ++k) {
            const int i = (current + k - 1) % 10 + 1;
            if (!filled[i])
                next = i;
        }
        if (!next) {
            r.full = true;
            r.seconds = t / 1000;
            break;
        }
        current = next;
    }
    return r;
}

} // namespace

int main(int argc, char *argv[])
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 2000;
    const auto t0 = Clock::now();
    const WordIndex &index = WordIndex::shared();
    const double buildMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    std::printf("word index: %d common and %d words in all, built in %.1f ms\n\n", index.size(Vocabulary::Common),
                index.size(Vocabulary::Full), buildMs);

    std::printf("== Words per 60-second round, %d seeded rounds per speed (simulated clock)\n", rounds);
    std::printf("%-7s %8s %8s %8s %8s %12s %8s   %s\n", "speed", "mean", "p10", "p50", "p90", "lists full",
                "per min", "target");
    for (BotSpeed speed : {BotSpeed::Slow, BotSpeed::Normal, BotSpeed::Fast}) {
        BotBrain brain(speed, index, 1);
        BotRandom draw(1000);
        std::vector<double> words;
        int full = 0;
        double sum = 0, fullSeconds = 0, playedSeconds = 0;
        for (int k = 0; k < rounds; ++k) {
            const RoundResult r = playRound(brain, draw, index);
            words.push_back(r.words);
            sum += r.words;
            full += r.full ? 1 : 0;
            fullSeconds += r.full ? r.seconds : 0;
            playedSeconds += r.seconds;
        }
        const char *target = speed == BotSpeed::Slow     ? "three or four"
                             : speed == BotSpeed::Normal ? "about seven"
                                                         : "a full list most rounds";
        std::printf("%-7s %8.2f %8.0f %8.0f %8.0f %11.1f%% %8.2f   %s", qPrintable(botSpeedName(speed)),
                    sum / rounds, percentile(words, 10), percentile(words, 50), percentile(words, 90),
                    100.0 * full / rounds, sum / (playedSeconds / 60), target);
        if (full)
            std::printf(" (a full list in %.1f s on average)", fullSeconds / full);
        std::printf("\n");
    }

    std::printf("\n== Time to choose a word: every target in every shape (%d patterns)\n",
                index.size(Vocabulary::Common) * 4);
    std::printf("%-7s %-7s %10s %10s %14s %14s %8s\n", "speed", "words", "p50 us", "p99 us", "scan p50 us",
                "scan p99 us", "ratio");
    for (BotSpeed speed : {BotSpeed::Normal, BotSpeed::Fast}) {
        BotBrain brain(speed, index, 7);
        const Vocabulary v = brain.profile().vocabulary;
        std::vector<double> plan, scan;
        volatile int sink = 0;
        for (int i = 0; i < index.size(Vocabulary::Common); ++i) {
            for (int shape = 0; shape < 4; ++shape) {
                const QByteArray p = shaped(index.word(Vocabulary::Common, i), shape);
                auto a = Clock::now();
                const BotBrain::Move m = brain.plan(p);
                auto b = Clock::now();
                plan.push_back(std::chrono::duration<double, std::micro>(b - a).count());
                sink = sink + static_cast<int>(m.word.size());
                // The baseline: test every word of the vocabulary against the pattern.
                a = Clock::now();
                int n = 0;
                for (int w = 0; w < index.size(v); ++w)
                    n += WordIndex::fits(index.word(v, w), p) ? 1 : 0;
                b = Clock::now();
                scan.push_back(std::chrono::duration<double, std::micro>(b - a).count());
                sink = sink + n;
            }
        }
        const double p50 = percentile(plan, 50), p99 = percentile(plan, 99);
        const double s50 = percentile(scan, 50), s99 = percentile(scan, 99);
        std::printf("%-7s %-7d %10.2f %10.2f %14.2f %14.2f %7.1fx   target p99 < 1000 us: %s\n",
                    qPrintable(botSpeedName(speed)), index.size(v), p50, p99, s50, s99, s50 / p50,
                    p99 < 1000 ? "met" : "NOT MET");
    }
    return 0;
}
