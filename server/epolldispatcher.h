#pragma once
// EpollDispatcher: an event dispatcher for Qt's event loop on Linux's epoll,
// for the headless server of many tables. Qt's own dispatchers look at every
// socket on every pass (they poll() the whole set, and the GLib one also
// searches its list whenever a socket's write notice goes on or off, which
// happens on every send), so with thousands of connections each message costs
// in proportion to the number of connections. Here a pass costs in proportion
// to what happened: sockets are registered with the kernel once, timers wait
// in an ordered set. QTcpSocket, QTimer and posted events work unchanged.
// Install it before the QCoreApplication is made:
//   QCoreApplication::setEventDispatcher(new EpollDispatcher);
#include <QAbstractEventDispatcher>
#include <QElapsedTimer>

#include <set>
#include <unordered_map>
#include <utility>

class QSocketNotifier;

class EpollDispatcher : public QAbstractEventDispatcher
{
    Q_OBJECT
public:
    explicit EpollDispatcher(QObject *parent = nullptr);
    ~EpollDispatcher() override;

    bool processEvents(QEventLoop::ProcessEventsFlags flags) override;
    void registerSocketNotifier(QSocketNotifier *notifier) override;
    void unregisterSocketNotifier(QSocketNotifier *notifier) override;
    void registerTimer(int timerId, qint64 interval, Qt::TimerType timerType, QObject *object) override;
    bool unregisterTimer(int timerId) override;
    bool unregisterTimers(QObject *object) override;
    QList<TimerInfo> registeredTimers(QObject *object) const override;
    int remainingTime(int timerId) override;
    void wakeUp() override;
    void interrupt() override;

private:
    struct Watch
    {
        QSocketNotifier *notifier[3] = {nullptr, nullptr, nullptr}; // read, write, exception
        quint32 generation = 0;
    };
    struct Timer
    {
        qint64 interval;
        Qt::TimerType type;
        QObject *object;
        qint64 due;
    };

    void update(int fd, Watch &w);
    bool activateTimers();
    qint64 now() const { return m_clock.elapsed(); }

    int m_epoll = -1;
    int m_wake = -1; // eventfd
    bool m_interrupted = false;
    quint32 m_generation = 0;
    QElapsedTimer m_clock;
    std::unordered_map<int, Watch> m_watches;
    std::unordered_map<int, Timer> m_timers;
    std::set<std::pair<qint64, int>> m_dueTimers;
};
