#pragma once
// Deadlines: one timer for many. Keys are scheduled at a time (milliseconds on
// a monotonic clock); the one QTimer sleeps until the earliest, and when it
// wakes every key that is due is handed to the callback, earliest first. A
// server with ten thousand tables keeps their round seconds and queue ticks
// here instead of in ten thousand timers, and an idle server sleeps.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <utility>

class Deadlines : public QObject
{
public:
    using Key = quint64;

    explicit Deadlines(std::function<void(Key)> due, QObject *parent = nullptr);

    qint64 now() const { return m_clock.elapsed(); }
    // (Re)schedules key at the time; an earlier entry of the key is replaced.
    void schedule(Key key, qint64 at);
    void cancel(Key key);
    bool isScheduled(Key key) const { return m_at.count(key) != 0; }
    std::size_t size() const { return m_at.size(); }
    bool timerActive() const { return m_timer.isActive(); }
    // Hands every key due by now to the callback (the timer does this).
    void fire();

private:
    void arm();

    std::function<void(Key)> m_due;
    QElapsedTimer m_clock;
    QTimer m_timer;
    std::set<std::pair<qint64, Key>> m_queue;
    std::unordered_map<Key, qint64> m_at;
    std::unordered_set<Key> m_firing; // taken out by fire() and not yet run
    bool m_inFire = false;
    qint64 m_armedAt = -1; // when the timer wakes, while it runs
};
