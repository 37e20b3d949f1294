#pragma once
// AvahiPoll on the Qt event loop: Avahi's client library asks for its file
// descriptors to be watched and for wake-ups at given times, and this answers
// with QSocketNotifiers and timers of the thread's event loop. No thread of its
// own, no polling.
#include <QHash>
#include <QObject>

#include <avahi-common/watch.h>

namespace vexlo::discovery {

class QtAvahiPoll : public QObject
{
    Q_OBJECT
public:
    explicit QtAvahiPoll(QObject *parent = nullptr);
    ~QtAvahiPoll() override;

    // What avahi_client_new takes. Watches and timeouts made through it must be
    // freed (the client does so) before this object goes.
    const AvahiPoll *api() const { return &m_api; }

    // Watches and timeouts alive: a leak shows here.
    int watchCount() const { return m_watches; }
    int timeoutCount() const { return static_cast<int>(m_timeouts.size()); }

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    friend struct PollCalls;
    AvahiPoll m_api;
    int m_watches = 0;
    QHash<int, AvahiTimeout *> m_timers; // running timer id -> its timeout
    QHash<AvahiTimeout *, int> m_timeouts; // every timeout -> its timer id, 0 while disarmed
};

} // namespace vexlo::discovery
