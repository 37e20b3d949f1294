// Throughput and ratio of Tlzrw1's two methods against LZ4 on a 10 MB mix, run
// side by side; at the end the speed ratios against LZ4 and the targets
// (LZRW1/KH compression at least half of LZ4's speed, expansion at least a
// quarter of it).
//
// The mix is made from fixed seeds, so every run measures the same bytes: 70%
// text of words drawn with Zipf frequencies from a vocabulary of 5,000 made-up
// words, 30% binary data (fixed-size little-endian records, sparse blocks with
// runs of zeros, random bytes), interleaved in 64 KiB pieces.
#include "lzrw1.h"

#include <benchmark/benchmark.h>
#include <lz4.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>

namespace {

constexpr qsizetype kMixSize = 10 * 1000 * 1000;
constexpr qsizetype kPiece = 64 * 1024;

QByteArray makeText(qsizetype n, std::mt19937 &gen)
{
    static const char letters[] = "etaoinshrdlcumwfgypbvkjxqz";
    std::discrete_distribution<int> letter({12.7, 9.1, 8.2, 7.5, 7.0, 6.7, 6.3, 6.1, 6.0, 4.3, 4.0, 2.8, 2.8,
                                            2.4, 2.4, 2.2, 2.0, 2.0, 1.9, 1.5, 1.0, 0.8, 0.2, 0.2, 0.1, 0.1});
    std::vector<QByteArray> vocabulary;
    std::vector<double> weights;
    for (int i = 0; i < 5000; ++i) {
        QByteArray w;
        for (int k = 2 + int(gen() % 11); k > 0; --k)
            w += letters[letter(gen)];
        vocabulary.push_back(w);
        weights.push_back(1.0 / (i + 1));
    }
    std::discrete_distribution<int> word(weights.begin(), weights.end());
    QByteArray text;
    text.reserve(n + 32);
    while (text.size() < n) {
        text += vocabulary[size_t(word(gen))];
        const unsigned p = gen() % 100;
        text += p < 4 ? ".\n" : p < 10 ? ", " : " ";
    }
    text.truncate(n);
    return text;
}

QByteArray makeBinary(qsizetype n, std::mt19937 &gen, int kind)
{
    QByteArray b;
    b.reserve(n + 32);
    while (b.size() < n) {
        if (kind == 0) { // records: id, small counter, a measurement
            const quint32 record[4] = {quint32(b.size() / 16), gen() % 100, 0, quint32(std::lround(1000 * std::sin(b.size())))};
            b.append(reinterpret_cast<const char *>(record), sizeof record);
        } else if (kind == 1) { // sparse: zero runs with a few values between
            b.append(QByteArray(int(gen() % 200), '\0'));
            for (int k = int(gen() % 8); k > 0; --k)
                b += char(gen());
        } else { // random, like data that is already compressed
            const quint32 v = gen();
            b.append(reinterpret_cast<const char *>(&v), 4);
        }
    }
    b.truncate(n);
    return b;
}

const QByteArray &mix()
{
    static const QByteArray data = [] {
        std::mt19937 gen(20240601);
        const QByteArray text = makeText(kMixSize * 7 / 10, gen);
        const QByteArray binary[3] = {makeBinary(kMixSize * 15 / 100, gen, 0), makeBinary(kMixSize * 8 / 100, gen, 1),
                                      makeBinary(kMixSize * 7 / 100, gen, 2)};
        QByteArray out;
        qsizetype at[4] = {};
        const QByteArray *sources[4] = {&text, &binary[0], &binary[1], &binary[2]};
        // Interleave: each round, 64 KiB from every source in proportion.
        while (out.size() < kMixSize) {
            for (int s = 0; s < 4; ++s) {
                const qsizetype share = s == 0 ? 7 * kPiece / 3 : kPiece / 3;
                const QByteArray piece = sources[s]->mid(at[s], share);
                at[s] += piece.size();
                out += piece;
            }
        }
        out.truncate(kMixSize);
        return out;
    }();
    return data;
}

Tlzrw1 coder(TCompressMode mode)
{
    Tlzrw1 c;
    c.setCompressMode(mode);
    return c;
}

void finish(benchmark::State &state, qsizetype packedSize)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * mix().size());
    state.counters["ratio"] = double(packedSize) / double(mix().size());
}

void compressTlzrw1(benchmark::State &state, TCompressMode mode)
{
    const Tlzrw1 c = coder(mode);
    QByteArray packed;
    for (auto _ : state) {
        packed = c.compressData(mix());
        benchmark::DoNotOptimize(packed.data());
    }
    finish(state, packed.size());
}

void decompressTlzrw1(benchmark::State &state, TCompressMode mode)
{
    const Tlzrw1 c = coder(mode);
    const QByteArray packed = c.compressData(mix());
    for (auto _ : state) {
        const QByteArray plain = c.decompressData(packed);
        benchmark::DoNotOptimize(plain.data());
        if (plain.size() != mix().size())
            state.SkipWithError("wrong length");
    }
    finish(state, packed.size());
}

QByteArray lz4Compress()
{
    QByteArray packed(LZ4_compressBound(int(mix().size())), Qt::Uninitialized);
    const int n = LZ4_compress_default(mix().constData(), packed.data(), int(mix().size()), int(packed.size()));
    packed.truncate(n);
    return packed;
}

void BM_Compress_LZRW1KH(benchmark::State &state) { compressTlzrw1(state, TCompressMode::Fast); }
void BM_Compress_LZHUF(benchmark::State &state) { compressTlzrw1(state, TCompressMode::Good); }
void BM_Compress_LZ4(benchmark::State &state)
{
    QByteArray packed;
    for (auto _ : state) {
        packed = lz4Compress();
        benchmark::DoNotOptimize(packed.data());
    }
    finish(state, packed.size());
}
void BM_Decompress_LZRW1KH(benchmark::State &state) { decompressTlzrw1(state, TCompressMode::Fast); }
void BM_Decompress_LZHUF(benchmark::State &state) { decompressTlzrw1(state, TCompressMode::Good); }
void BM_Decompress_LZ4(benchmark::State &state)
{
    const QByteArray packed = lz4Compress();
    for (auto _ : state) {
        QByteArray plain(mix().size(), Qt::Uninitialized);
        const int n = LZ4_decompress_safe(packed.constData(), plain.data(), int(packed.size()), int(plain.size()));
        benchmark::DoNotOptimize(plain.data());
        if (n != mix().size())
            state.SkipWithError("wrong length");
    }
    finish(state, packed.size());
}

BENCHMARK(BM_Compress_LZRW1KH)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compress_LZHUF)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compress_LZ4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decompress_LZRW1KH)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decompress_LZHUF)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decompress_LZ4)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's bytes per second for the summary: the median when the
// run has repetitions, else the single run.
class Recorder : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> speed;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &r : runs) {
            const auto it = r.counters.find("bytes_per_second");
            if (it == r.counters.end() || r.error_occurred)
                continue;
            if (r.run_type == Run::RT_Aggregate) {
                if (r.aggregate_name == "median")
                    speed[r.run_name.function_name] = it->second;
            } else if (r.repetitions <= 1) {
                speed[r.run_name.function_name] = it->second;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    mix(); // made before the clock runs
    Recorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    benchmark::Shutdown();

    auto ratio = [&](const char *ours, const char *theirs) {
        const auto a = recorder.speed.find(ours), b = recorder.speed.find(theirs);
        return a == recorder.speed.end() || b == recorder.speed.end() || b->second == 0 ? -1.0 : a->second / b->second;
    };
    std::printf("\nSpeed against LZ4 on the same %lld-byte mix (ours / LZ4):\n", static_cast<long long>(kMixSize));
    const struct {
        const char *label, *ours, *theirs;
        double target;
    } lines[] = {
        {"LZRW1/KH compress  ", "BM_Compress_LZRW1KH", "BM_Compress_LZ4", 0.5},
        {"LZRW1/KH decompress", "BM_Decompress_LZRW1KH", "BM_Decompress_LZ4", 0.25},
        {"LZHUF compress     ", "BM_Compress_LZHUF", "BM_Compress_LZ4", 0},
        {"LZHUF decompress   ", "BM_Decompress_LZHUF", "BM_Decompress_LZ4", 0},
    };
    bool met = true;
    for (const auto &l : lines) {
        const double r = ratio(l.ours, l.theirs);
        if (r < 0)
            continue;
        if (l.target > 0) {
            std::printf("  %s %6.3f  (target >= %.2f: %s)\n", l.label, r, l.target, r >= l.target ? "met" : "NOT MET");
            met = met && r >= l.target;
        } else {
            std::printf("  %s %6.3f\n", l.label, r);
        }
    }
    return met ? 0 : 2;
}
