#include "avahipoll.h"

#include <QSocketNotifier>
#include <QTimerEvent>

#include <sys/time.h>

#include <algorithm>
#include <climits>
#include <memory>

using vexlo::discovery::QtAvahiPoll;

struct AvahiWatch
{
    QtAvahiPoll *poll = nullptr;
    int fd = -1;
    AvahiWatchCallback callback = nullptr;
    void *userdata = nullptr;
    int happened = 0; // the events of the callback running now
    std::unique_ptr<QSocketNotifier> read;
    std::unique_ptr<QSocketNotifier> write;
};

struct AvahiTimeout
{
    QtAvahiPoll *poll = nullptr;
    AvahiTimeoutCallback callback = nullptr;
    void *userdata = nullptr;
};

namespace vexlo::discovery {

// The AvahiPoll functions; a friend, so they reach the poll's books.
struct PollCalls
{
    static QtAvahiPoll *self(const AvahiPoll *api) { return static_cast<QtAvahiPoll *>(api->userdata); }

    static void dispatch(AvahiWatch *w, AvahiWatchEvent event)
    {
        w->happened = event;
        // The callback may free the watch (and so the notifier that called):
        // nothing of it is touched afterwards. Qt allows the notifier to go
        // while it reports.
        w->callback(w, w->fd, event, w->userdata);
    }

    static void watchUpdate(AvahiWatch *w, AvahiWatchEvent events)
    {
        const bool in = events & (AVAHI_WATCH_IN | AVAHI_WATCH_HUP | AVAHI_WATCH_ERR);
        const bool out = events & AVAHI_WATCH_OUT;
        if (in && !w->read) {
            w->read = std::make_unique<QSocketNotifier>(w->fd, QSocketNotifier::Read);
            QObject::connect(w->read.get(), &QSocketNotifier::activated, w->poll, [w] { dispatch(w, AVAHI_WATCH_IN); });
        }
        if (out && !w->write) {
            w->write = std::make_unique<QSocketNotifier>(w->fd, QSocketNotifier::Write);
            QObject::connect(w->write.get(), &QSocketNotifier::activated, w->poll, [w] { dispatch(w, AVAHI_WATCH_OUT); });
        }
        if (w->read)
            w->read->setEnabled(in);
        if (w->write)
            w->write->setEnabled(out);
    }

    static AvahiWatch *watchNew(const AvahiPoll *api, int fd, AvahiWatchEvent events, AvahiWatchCallback callback,
                                void *userdata)
    {
        auto *w = new AvahiWatch;
        w->poll = self(api);
        w->fd = fd;
        w->callback = callback;
        w->userdata = userdata;
        watchUpdate(w, events);
        ++w->poll->m_watches;
        return w;
    }

    static AvahiWatchEvent watchEvents(AvahiWatch *w) { return static_cast<AvahiWatchEvent>(w->happened); }

    static void watchFree(AvahiWatch *w)
    {
        --w->poll->m_watches;
        delete w;
    }

    // Milliseconds from now to the absolute time tv (gettimeofday's clock).
    static int msUntil(const timeval *tv)
    {
        timeval now{};
        gettimeofday(&now, nullptr);
        const long long ms = (static_cast<long long>(tv->tv_sec) - now.tv_sec) * 1000
                             + (static_cast<long long>(tv->tv_usec) - now.tv_usec + 999) / 1000;
        return static_cast<int>(std::clamp(ms, 0LL, static_cast<long long>(INT_MAX)));
    }

    static void timeoutUpdate(AvahiTimeout *t, const timeval *tv)
    {
        QtAvahiPoll *p = t->poll;
        if (const int id = p->m_timeouts.value(t)) {
            p->killTimer(id);
            p->m_timers.remove(id);
        }
        int id = 0;
        if (tv) {
            id = p->startTimer(msUntil(tv), Qt::PreciseTimer);
            p->m_timers.insert(id, t);
        }
        p->m_timeouts.insert(t, id);
    }

    static AvahiTimeout *timeoutNew(const AvahiPoll *api, const timeval *tv, AvahiTimeoutCallback callback,
                                    void *userdata)
    {
        auto *t = new AvahiTimeout{self(api), callback, userdata};
        timeoutUpdate(t, tv);
        return t;
    }

    static void timeoutFree(AvahiTimeout *t)
    {
        timeoutUpdate(t, nullptr);
        t->poll->m_timeouts.remove(t);
        delete t;
    }

    static void fire(QtAvahiPoll *p, int id)
    {
        AvahiTimeout *t = p->m_timers.take(id);
        p->killTimer(id);
        if (!t)
            return;
        p->m_timeouts.insert(t, 0); // a timeout fires once, until it is updated
        t->callback(t, t->userdata); // which may free it
    }
};

QtAvahiPoll::QtAvahiPoll(QObject *parent) : QObject(parent)
{
    m_api.userdata = this;
    m_api.watch_new = &PollCalls::watchNew;
    m_api.watch_update = &PollCalls::watchUpdate;
    m_api.watch_get_events = &PollCalls::watchEvents;
    m_api.watch_free = &PollCalls::watchFree;
    m_api.timeout_new = &PollCalls::timeoutNew;
    m_api.timeout_update = &PollCalls::timeoutUpdate;
    m_api.timeout_free = &PollCalls::timeoutFree;
}

QtAvahiPoll::~QtAvahiPoll() = default;

void QtAvahiPoll::timerEvent(QTimerEvent *event)
{
    PollCalls::fire(this, event->timerId());
}

} // namespace vexlo::discovery
