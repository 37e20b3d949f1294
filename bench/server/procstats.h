#pragma once
// What /proc tells about another process: its CPU time, wake-ups and memory.
#include <QString>

struct CpuSample
{
    long long ticks = -1;     // utime + stime of /proc/PID/stat, in clock ticks
    long long onCpuNs = -1;   // summed over the threads' schedstat, -1 when the kernel has none
    long long waitNs = -1;    // time the threads were ready to run but waited for a CPU (schedstat)
    long long switches = -1;  // voluntary + involuntary context switches of all threads
    int threads = 0;
};

struct MemorySample
{
    long long rssKiB = -1; // VmRSS
    long long hwmKiB = -1; // VmHWM, the peak so far
};

// Throws std::runtime_error when the process cannot be read (gone, or not ours).
QByteArray processName(qint64 pid); // /proc/PID/comm
CpuSample readCpu(qint64 pid);
MemorySample readMemory(qint64 pid);
// The load average over the last minute, as /proc/loadavg gives it.
QByteArray loadAverage();
// Clock ticks per second of /proc/PID/stat.
long long clockTicksPerSecond();

// The time one thread has waited for a CPU so far (the second field of its
// schedstat), cheap enough to read around every round trip. Reads 0 when the
// kernel keeps no schedstat.
class WaitClock
{
public:
    WaitClock(qint64 pid, qint64 tid);
    ~WaitClock();
    WaitClock(const WaitClock &) = delete;
    WaitClock &operator=(const WaitClock &) = delete;

    double ms() const;
    bool available() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// The waits for a CPU of the server's thread and of this probe's main thread.
struct BothWaits
{
    explicit BothWaits(qint64 serverPid);
    double ms() const { return server.ms() + probe.ms(); }

    WaitClock server;
    WaitClock probe;
};
