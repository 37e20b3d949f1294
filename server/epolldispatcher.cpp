#include "epolldispatcher.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <vector>

namespace {
constexpr int kBatch = 512;
constexpr quint32 kWakeFd = 0xffffffffu;

quint32 eventsOf(QSocketNotifier *const n[3])
{
    return (n[0] ? quint32(EPOLLIN) : 0u) | (n[1] ? quint32(EPOLLOUT) : 0u) | (n[2] ? quint32(EPOLLPRI) : 0u);
}
} // namespace

EpollDispatcher::EpollDispatcher(QObject *parent) : QAbstractEventDispatcher(parent)
{
    m_epoll = ::epoll_create1(EPOLL_CLOEXEC);
    m_wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = kWakeFd;
    ::epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_wake, &ev);
    m_clock.start();
}

EpollDispatcher::~EpollDispatcher()
{
    ::close(m_wake);
    ::close(m_epoll);
}

// --- sockets ---

void EpollDispatcher::update(int fd, Watch &w)
{
    epoll_event ev{};
    ev.events = eventsOf(w.notifier);
    ev.data.u64 = quint64(w.generation) << 32 | quint32(fd);
    ::epoll_ctl(m_epoll, EPOLL_CTL_MOD, fd, &ev);
}

void EpollDispatcher::registerSocketNotifier(QSocketNotifier *notifier)
{
    const int fd = static_cast<int>(notifier->socket());
    const auto type = static_cast<int>(notifier->type());
    auto [it, fresh] = m_watches.try_emplace(fd);
    Watch &w = it->second;
    w.notifier[type] = notifier;
    if (fresh) {
        w.generation = ++m_generation;
        epoll_event ev{};
        ev.events = eventsOf(w.notifier);
        ev.data.u64 = quint64(w.generation) << 32 | quint32(fd);
        ::epoll_ctl(m_epoll, EPOLL_CTL_ADD, fd, &ev);
    } else {
        update(fd, w);
    }
}

void EpollDispatcher::unregisterSocketNotifier(QSocketNotifier *notifier)
{
    const int fd = static_cast<int>(notifier->socket());
    const auto it = m_watches.find(fd);
    if (it == m_watches.end())
        return;
    Watch &w = it->second;
    const auto type = static_cast<int>(notifier->type());
    if (w.notifier[type] != notifier)
        return;
    w.notifier[type] = nullptr;
    if (eventsOf(w.notifier) == 0) {
        ::epoll_ctl(m_epoll, EPOLL_CTL_DEL, fd, nullptr);
        m_watches.erase(it);
    } else {
        update(fd, w);
    }
}

// --- timers ---

void EpollDispatcher::registerTimer(int timerId, qint64 interval, Qt::TimerType timerType, QObject *object)
{
    const qint64 due = now() + interval;
    m_timers[timerId] = {interval, timerType, object, due};
    m_dueTimers.insert({due, timerId});
}

bool EpollDispatcher::unregisterTimer(int timerId)
{
    const auto it = m_timers.find(timerId);
    if (it == m_timers.end())
        return false;
    m_dueTimers.erase({it->second.due, timerId});
    m_timers.erase(it);
    return true;
}

bool EpollDispatcher::unregisterTimers(QObject *object)
{
    bool any = false;
    for (auto it = m_timers.begin(); it != m_timers.end();) {
        if (it->second.object == object) {
            m_dueTimers.erase({it->second.due, it->first});
            it = m_timers.erase(it);
            any = true;
        } else {
            ++it;
        }
    }
    return any;
}

QList<QAbstractEventDispatcher::TimerInfo> EpollDispatcher::registeredTimers(QObject *object) const
{
    QList<TimerInfo> out;
    for (const auto &[id, t] : m_timers)
        if (t.object == object)
            out.append(TimerInfo(id, static_cast<int>(t.interval), t.type));
    return out;
}

int EpollDispatcher::remainingTime(int timerId)
{
    const auto it = m_timers.find(timerId);
    if (it == m_timers.end())
        return -1;
    return static_cast<int>(std::max<qint64>(0, it->second.due - now()));
}

// Sends every timer that is due its event, once; a timer's next time counts
// from when it was due, or from now when it fell behind by a whole interval.
bool EpollDispatcher::activateTimers()
{
    const qint64 t = now();
    std::vector<int> due;
    for (auto it = m_dueTimers.begin(); it != m_dueTimers.end() && it->first <= t; ++it)
        due.push_back(it->second);
    for (const int id : due) {
        const auto it = m_timers.find(id);
        if (it == m_timers.end())
            continue; // unregistered by an earlier timer's handler
        Timer &timer = it->second;
        m_dueTimers.erase({timer.due, id});
        timer.due = std::max(timer.due + std::max<qint64>(timer.interval, 1), t);
        m_dueTimers.insert({timer.due, id});
        QObject *object = timer.object;
        QTimerEvent event(id);
        QCoreApplication::sendEvent(object, &event);
    }
    return !due.empty();
}

// --- the loop ---

void EpollDispatcher::wakeUp()
{
    const quint64 one = 1;
    [[maybe_unused]] const auto n = ::write(m_wake, &one, sizeof one);
}

void EpollDispatcher::interrupt()
{
    m_interrupted = true;
    wakeUp();
}

bool EpollDispatcher::processEvents(QEventLoop::ProcessEventsFlags flags)
{
    m_interrupted = false;
    Q_EMIT awake();
    QCoreApplication::sendPostedEvents();

    int timeout = 0;
    if ((flags & QEventLoop::WaitForMoreEvents) && !m_interrupted) {
        timeout = -1;
        if (!m_dueTimers.empty())
            timeout = static_cast<int>(std::clamp<qint64>(m_dueTimers.begin()->first - now(), 0, 1 << 30));
    }
    if (timeout != 0)
        Q_EMIT aboutToBlock();
    epoll_event events[kBatch];
    const int n = ::epoll_wait(m_epoll, events, kBatch, timeout);
    bool handled = false;
    for (int i = 0; i < n && !m_interrupted; ++i) {
        const quint64 data = events[i].data.u64;
        if (data == kWakeFd) {
            quint64 count = 0;
            [[maybe_unused]] const auto r = ::read(m_wake, &count, sizeof count);
            continue;
        }
        if (flags & QEventLoop::ExcludeSocketNotifiers)
            continue; // level-triggered: it is reported again on a later pass
        const int fd = static_cast<int>(data & 0xffffffffu);
        const quint32 mask = events[i].events;
        const quint32 wanted[3] = {EPOLLIN | EPOLLHUP | EPOLLERR, EPOLLOUT | EPOLLHUP | EPOLLERR, EPOLLPRI};
        for (int type = 0; type < 3; ++type) {
            // A handler before may have closed the socket, or a new one may
            // have the descriptor now: only the watch the kernel reported counts.
            const auto it = m_watches.find(fd);
            if (it == m_watches.end() || it->second.generation != quint32(data >> 32))
                break;
            QSocketNotifier *notifier = it->second.notifier[type];
            if (!notifier || !(mask & wanted[type]))
                continue;
            QEvent event(QEvent::SockAct);
            QCoreApplication::sendEvent(notifier, &event);
            handled = true;
        }
    }
    if (!(flags & QEventLoop::X11ExcludeTimers) && !m_interrupted)
        handled = activateTimers() || handled;
    return handled;
}
