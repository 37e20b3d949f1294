#include "deadlines.h"

#include <algorithm>
#include <vector>

Deadlines::Deadlines(std::function<void(Key)> due, QObject *parent) : QObject(parent), m_due(std::move(due))
{
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { fire(); });
}

void Deadlines::schedule(Key key, qint64 at)
{
    m_firing.erase(key);
    if (const auto it = m_at.find(key); it != m_at.end()) {
        m_queue.erase({it->second, key});
        it->second = at;
    } else {
        m_at.emplace(key, at);
    }
    m_queue.insert({at, key});
    arm();
}

void Deadlines::cancel(Key key)
{
    m_firing.erase(key);
    const auto it = m_at.find(key);
    if (it == m_at.end())
        return;
    m_queue.erase({it->second, key});
    m_at.erase(it);
    arm();
}

void Deadlines::fire()
{
    const qint64 t = now();
    std::vector<Key> due;
    while (!m_queue.empty() && m_queue.begin()->first <= t) {
        due.push_back(m_queue.begin()->second);
        m_firing.insert(m_queue.begin()->second);
        m_at.erase(m_queue.begin()->second);
        m_queue.erase(m_queue.begin());
    }
    // A callback may schedule or cancel other keys: a due key that an earlier
    // callback cancelled or moved does not run now.
    m_inFire = true;
    m_armedAt = -1;
    for (const Key k : due)
        if (m_firing.erase(k) != 0)
            m_due(k);
    m_inFire = false;
    arm();
}

void Deadlines::arm()
{
    if (m_inFire)
        return; // fire() arms once, at its end
    if (m_queue.empty()) {
        m_timer.stop();
        m_armedAt = -1;
        return;
    }
    const qint64 first = m_queue.begin()->first;
    if (m_timer.isActive() && m_armedAt == first)
        return;
    m_armedAt = first;
    m_timer.start(static_cast<int>(std::clamp<qint64>(first - now(), 0, 1 << 30)));
}
