// Replays a fuzz target's seeds through its entry point, built with the normal
// compiler under the test build's sanitizers: every seed whole, every prefix of
// it, and a fixed number of seeded byte changes of it. A target aborts on a
// fault; the sanitizers report any bad access. (fuzz/run.sh runs libFuzzer.)
//   replay_<target> CORPUS_FOLDER [CHANGES_PER_SEED]
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

void run(const QByteArray &input)
{
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(input.constData()), std::size_t(input.size()));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER [CHANGES_PER_SEED]\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const int changes = argc > 2 ? QByteArray(argv[2]).toInt() : 300;
    const QStringList seeds = folder.entryList(QDir::Files, QDir::Name);
    if (seeds.isEmpty()) {
        std::fprintf(stderr, "no seeds in %s\n", argv[1]);
        return 1;
    }
    QRandomGenerator random(7);
    for (const QString &name : seeds) {
        QFile f(folder.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            return 1;
        const QByteArray seed = f.readAll();
        run(seed);
        for (qsizetype n = 0; n < seed.size() && n < 512; ++n)
            run(seed.left(n));
        for (int i = 0; i < changes && !seed.isEmpty(); ++i) {
            QByteArray changed = seed;
            const int edits = 1 + int(random.bounded(4));
            for (int e = 0; e < edits; ++e) {
                const auto at = qsizetype(random.bounded(quint32(changed.size())));
                switch (random.bounded(3)) {
                case 0: // a byte changed; digits and "+" are what the decoders care about
                    changed[at] = "+0123456789@|x\xff"[random.bounded(15)];
                    break;
                case 1:
                    changed[at] = char(random.bounded(256));
                    break;
                default: // a piece of the seed again
                    changed.insert(at, seed.mid(qsizetype(random.bounded(quint32(seed.size()))), 8));
                    break;
                }
            }
            run(changed);
        }
    }
    std::printf("%lld seeds replayed from %s\n", static_cast<long long>(seeds.size()), argv[1]);
    return 0;
}
