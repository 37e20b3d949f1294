// IsWord look-ups per second: the in-memory dictionary against the record file
// searched on disk (one seek and one 15-byte read per probe), over the same mix of
// hits and misses, in one run. Prints both rates and their ratio at the end.
//
//   bench_dictionary_lookup [--benchmark_repetitions=N] [other Google Benchmark flags]
#include "builtinwords.h"
#include "disklookup.h"
#include "tdictn.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <vector>

namespace {

constexpr std::size_t ProbeCount = 4096; // a power of two

struct Fixture {
    TDictn dictn;
    QTemporaryDir dir;
    std::unique_ptr<DiskLookup> disk;
    std::vector<QByteArray> probes;
    std::vector<QString> textProbes;
    int hits = 0;
};

Fixture *fixture = nullptr;

// Half the probes are words of the list (some upper-cased or padded), half are
// misses: random five-letter strings and words with one letter changed.
std::vector<QByteArray> makeProbes(const QList<QByteArray> &words)
{
    QRandomGenerator random(2024);
    std::vector<QByteArray> probes;
    while (probes.size() < ProbeCount) {
        QByteArray word = words.at(random.bounded(int(words.size())));
        switch (probes.size() % 8) {
        case 0: case 1: case 2: break;
        case 3: word = word.toUpper(); break;
        case 4:
            word.clear();
            for (int i = 0; i < 5; ++i)
                word += static_cast<char>('a' + random.bounded(26));
            break;
        default: word[random.bounded(int(word.size()))] = static_cast<char>('a' + random.bounded(26)); break;
        }
        probes.push_back(word);
    }
    return probes;
}

void inMemory(benchmark::State &state)
{
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(fixture->dictn.IsWord(fixture->probes[i++ & (ProbeCount - 1)]));
    state.SetItemsProcessed(state.iterations());
}

void inMemoryText(benchmark::State &state)
{
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(fixture->dictn.IsWord(fixture->textProbes[i++ & (ProbeCount - 1)]));
    state.SetItemsProcessed(state.iterations());
}

void onDisk(benchmark::State &state)
{
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(fixture->disk->IsWord(fixture->probes[i++ & (ProbeCount - 1)]));
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(inMemory)->Name("IsWord/in_memory");
BENCHMARK(inMemoryText)->Name("IsWord/in_memory_QString");
BENCHMARK(onDisk)->Name("IsWord/on_disk");

// Collects the look-ups per second by benchmark name: the median of the
// repetitions when there are several, else the rate of the single run.
class RateCollector : public benchmark::ConsoleReporter
{
public:
    RateCollector()
        : ConsoleReporter(OO_Tabular)
    {
    }

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            const std::string &name = run.run_name.function_name;
            if (run.error_occurred)
                continue;
            if (run.run_type == Run::RT_Iteration && run.real_accumulated_time > 0)
                m_single[name] = double(run.iterations) / run.real_accumulated_time;
            else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median"
                     && run.counters.count("items_per_second") != 0)
                m_median[name] = run.counters.at("items_per_second").value;
        }
    }

    double rate(const std::string &name) const
    {
        if (auto found = m_median.find(name); found != m_median.end())
            return found->second;
        auto found = m_single.find(name);
        return found == m_single.end() ? 0 : found->second;
    }

private:
    std::map<std::string, double> m_single;
    std::map<std::string, double> m_median;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;

    QFile list(QStringLiteral(VEXLO_WORDS_DIR "/dictionary.txt"));
    if (!list.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(list.fileName()));
        return 1;
    }
    Fixture data;
    fixture = &data;
    if (!data.dictn.isOpen() || !data.dir.isValid()) {
        std::fprintf(stderr, "the dictionary or the temporary folder is not usable\n");
        return 1;
    }
    data.disk = std::make_unique<DiskLookup>(data.dir.filePath(QStringLiteral("English")),
                                             vexlo::words::dictionaryImage());
    if (!data.disk->isOpen()) {
        std::fprintf(stderr, "cannot write the record file in %s\n", qPrintable(data.dir.path()));
        return 1;
    }
    data.probes = makeProbes(list.readAll().trimmed().split('\n'));
    for (const QByteArray &probe : data.probes) {
        data.textProbes.push_back(QString::fromLatin1(probe));
        const int found = data.dictn.FindWord(probe);
        if (found != data.disk->FindWord(probe) || found != data.dictn.FindWord(data.textProbes.back())) {
            std::fprintf(stderr, "the two searches disagree on \"%s\"\n", probe.constData());
            return 1;
        }
        data.hits += found >= 0;
    }

    RateCollector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const double memory = reporter.rate("IsWord/in_memory");
    const double text = reporter.rate("IsWord/in_memory_QString");
    const double disk = reporter.rate("IsWord/on_disk");
    std::printf("\nprobes: %zu words, %d hits, %zu misses\n", data.probes.size(), data.hits,
                data.probes.size() - std::size_t(data.hits));
    std::printf("in memory (QByteArray key): %12.0f lookups/s   target >= 5000000: %s\n", memory,
                memory >= 5e6 ? "met" : "NOT MET");
    std::printf("in memory (QString key):    %12.0f lookups/s\n", text);
    std::printf("on disk, seek + read:       %12.0f lookups/s\n", disk);
    if (disk > 0)
        std::printf("ratio in memory / on disk:  %12.1f x          target >= 50: %s\n", memory / disk,
                    memory / disk >= 50 ? "met" : "NOT MET");
    benchmark::Shutdown();
    return 0;
}
