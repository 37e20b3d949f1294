#include "procstats.h"

#include <QDir>
#include <QFile>

#include <stdexcept>
#include <fcntl.h>
#include <unistd.h>

namespace {

QByteArray readProcFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return f.readAll();
}

QString procPath(qint64 pid, const QString &rest)
{
    return QStringLiteral("/proc/%1/%2").arg(pid).arg(rest);
}

// The number after "Name:" in a status file, or -1.
long long statusField(const QByteArray &status, const QByteArray &name)
{
    const QByteArray prefix = name + ':';
    for (const QByteArray &line : status.split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

} // namespace

long long clockTicksPerSecond()
{
    return sysconf(_SC_CLK_TCK);
}

QByteArray processName(qint64 pid)
{
    return readProcFile(procPath(pid, QStringLiteral("comm"))).trimmed();
}

QByteArray loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().split(' ').value(0) : QByteArray("?");
}

CpuSample readCpu(qint64 pid)
{
    CpuSample s;
    // The command name in parentheses may hold spaces: count fields after the last ")".
    const QByteArray stat = readProcFile(procPath(pid, QStringLiteral("stat")));
    const qsizetype close = stat.lastIndexOf(')');
    const QList<QByteArray> fields = stat.mid(close + 2).simplified().split(' ');
    if (close < 0 || fields.size() < 13)
        throw std::runtime_error("unexpected /proc/PID/stat");
    s.ticks = fields[11].toLongLong() + fields[12].toLongLong(); // fields 14 and 15

    const QDir tasks(procPath(pid, QStringLiteral("task")));
    s.switches = 0;
    for (const QString &tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        ++s.threads;
        const QByteArray status = readProcFile(tasks.filePath(tid + QStringLiteral("/status")));
        s.switches += statusField(status, "voluntary_ctxt_switches") +
                      statusField(status, "nonvoluntary_ctxt_switches");
        QFile sched(tasks.filePath(tid + QStringLiteral("/schedstat")));
        if (sched.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> f = sched.readAll().trimmed().split(' ');
            s.onCpuNs = (s.onCpuNs < 0 ? 0 : s.onCpuNs) + f.value(0).toLongLong();
            s.waitNs = (s.waitNs < 0 ? 0 : s.waitNs) + f.value(1).toLongLong();
        }
    }
    return s;
}

MemorySample readMemory(qint64 pid)
{
    const QByteArray status = readProcFile(procPath(pid, QStringLiteral("status")));
    return {statusField(status, "VmRSS"), statusField(status, "VmHWM")};
}

WaitClock::WaitClock(qint64 pid, qint64 tid)
{
    const QByteArray path = "/proc/" + QByteArray::number(pid) + "/task/" + QByteArray::number(tid) + "/schedstat";
    m_fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
}

WaitClock::~WaitClock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

double WaitClock::ms() const
{
    char buffer[128];
    const ssize_t n = m_fd >= 0 ? ::pread(m_fd, buffer, sizeof buffer - 1, 0) : -1;
    if (n <= 0)
        return 0;
    buffer[n] = 0;
    return double(QByteArray(buffer).split(' ').value(1).toLongLong()) / 1e6;
}

BothWaits::BothWaits(qint64 serverPid)
    : server(serverPid, serverPid), probe(::getpid(), ::getpid())
{
}
