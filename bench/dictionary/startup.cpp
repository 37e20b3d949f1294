// Time and memory to a ready dictionary and target list.
//
//   bench_dictionary_startup [LAUNCH_NS]
//
// LAUNCH_NS is the wall-clock time (nanoseconds since the epoch, as `date +%s%N`
// prints it) just before the program was started; with it the time from launch is
// reported too. Prints one line of name=value pairs.
#include "targetlist.h"
#include "tdictn.h"

#include <QFile>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>

namespace {

double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double wallMsSince(long long epochNs)
{
    const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    return double(now - epochNs) / 1e6;
}

// A field of /proc/self/status in KiB ("RssAnon", "RssFile"), or -1.
long statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    const long long launchNs = argc > 1 ? std::atoll(argv[1]) : 0;
    const double launchToMain = launchNs > 0 ? wallMsSince(launchNs) : -1;

    const long anonBefore = statusKiB("RssAnon");
    const long fileBefore = statusKiB("RssFile");
    const std::size_t heapBefore = mallinfo2().uordblks;
    const auto start = std::chrono::steady_clock::now();

    const TDictn dictn;
    const double dictnMs = msSince(start);
    const TargetList targets;
    const double readyMs = msSince(start);
    const double launchToReady = launchNs > 0 ? wallMsSince(launchNs) : -1;

    const std::size_t heapAfter = mallinfo2().uordblks;
    const long anonAfter = statusKiB("RssAnon");
    const long fileAfter = statusKiB("RssFile");

    if (!dictn.isOpen() || !dictn.IsWord(QByteArrayView("about")) || targets.count() != 2460) {
        std::fprintf(stderr, "the dictionary is not ready: %s\n", qPrintable(dictn.loadFault()));
        return 1;
    }
    std::printf("records=%lld dictn_ms=%.3f targets_ms=%.3f ready_ms=%.3f launch_to_main_ms=%.3f "
                "launch_to_ready_ms=%.3f heap_bytes=%zu rss_anon_kib=%ld rss_file_kib=%ld\n",
                static_cast<long long>(dictn.recordCount()), dictnMs, readyMs - dictnMs, readyMs, launchToMain,
                launchToReady, heapAfter - heapBefore, anonAfter - anonBefore, fileAfter - fileBefore);
    return 0;
}
