// LD_PRELOAD shim for tools/wiresession.sh: the wall clock stands still at
// WIRECLOCK_MS (milliseconds since the epoch) and the random numbers a program
// draws from the system or from Qt's global generator are a fixed sequence, so a
// program seeded from the time of day or from QRandomGenerator::global() plays
// the same game on every run. Only CLOCK_REALTIME is pinned: timers and elapsed
// times run on the monotonic clock, which is left alone. Qt's global generator
// is seeded from the CPU (RDRAND), out of a shim's reach, so the program's own
// calls to QRandomGenerator::_fillRange on it are answered here; every other
// generator (one seeded by the program) is left to Qt.
//   gcc -shared -fPIC -O2 -o wireclock.so tools/wireclock.c -ldl
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/random.h>
#include <sys/time.h>
#include <time.h>

static long long pinnedMs(void)
{
    const char *v = getenv("WIRECLOCK_MS");
    return v ? atoll(v) : 1796731200000LL; // 2026-12-08 12:00:00 UTC
}

int clock_gettime(clockid_t id, struct timespec *ts)
{
    if (id == CLOCK_REALTIME || id == CLOCK_REALTIME_COARSE) {
        const long long ms = pinnedMs();
        ts->tv_sec = (time_t)(ms / 1000);
        ts->tv_nsec = (long)(ms % 1000) * 1000000L;
        return 0;
    }
    static int (*real)(clockid_t, struct timespec *);
    if (!real)
        real = (int (*)(clockid_t, struct timespec *))dlsym(RTLD_NEXT, "clock_gettime");
    return real(id, ts);
}

int gettimeofday(struct timeval *tv, void *tz)
{
    (void)tz;
    const long long ms = pinnedMs();
    tv->tv_sec = (time_t)(ms / 1000);
    tv->tv_usec = (suseconds_t)(ms % 1000) * 1000;
    return 0;
}

time_t time(time_t *t)
{
    const time_t now = (time_t)(pinnedMs() / 1000);
    if (t)
        *t = now;
    return now;
}

// SplitMix64 over a process-wide counter: the same bytes in the same order.
static uint64_t state = 0x5eed5eed5eed5eedULL;

static void fill(void *buf, size_t len)
{
    unsigned char *p = buf;
    while (len > 0) {
        uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        z ^= z >> 31;
        for (int i = 0; i < 8 && len > 0; ++i, --len) {
            *p++ = (unsigned char)z;
            z >>= 8;
        }
    }
}

int getentropy(void *buf, size_t len)
{
    if (len > 256) {
        errno = EIO;
        return -1;
    }
    fill(buf, len);
    return 0;
}

ssize_t getrandom(void *buf, size_t len, unsigned int flags)
{
    (void)flags;
    fill(buf, len);
    return (ssize_t)len;
}

// quint64 QRandomGenerator::_fillRange(void *buffer, qptrdiff count): count
// 32-bit words into buffer, or with no buffer (generate(), generate64()) returned.
typedef uint64_t (*FillRange)(void *self, void *buffer, long long count);
uint64_t _ZN16QRandomGenerator10_fillRangeEPvx(void *self, void *buffer, long long count)
{
    static FillRange real;
    static void *(*global)(void);
    if (!real) {
        real = (FillRange)dlsym(RTLD_NEXT, "_ZN16QRandomGenerator10_fillRangeEPvx");
        global = (void *(*)(void))dlsym(RTLD_NEXT, "_ZN18QRandomGenerator646globalEv");
    }
    if (!global || self != global())
        return real(self, buffer, count);
    uint64_t value = 0;
    if (buffer)
        fill(buffer, (size_t)count * 4);
    else
        fill(&value, (size_t)count * 4 < sizeof value ? (size_t)count * 4 : sizeof value);
    return value;
}
