#pragma once
// AvahiConnection: this program's client of the Avahi daemon, on the Qt event
// loop. It never fails: without a daemon (or without the system bus) it waits
// for one quietly and connects when it appears; when the daemon goes away or
// restarts it starts over. Whoever publishes or browses through it makes their
// Avahi objects when it is running and drops them when it resets.
#include <QObject>
#include <QTimer>

struct AvahiClient;

namespace vexlo::discovery {

class QtAvahiPoll;

class AvahiConnection : public QObject
{
    Q_OBJECT
public:
    explicit AvahiConnection(QObject *parent = nullptr);
    ~AvahiConnection() override;

    // The client, while there is one (it may still be connecting).
    AvahiClient *client() const { return m_client; }
    // The daemon answers and its host name is settled: services may be added.
    bool running() const { return m_running; }
    // The daemon answers, though its host name may still be registering.
    bool connected() const { return m_connected; }

    // How long to wait before trying again when there is no system bus.
    void setRetryInterval(int ms) { m_retry.setInterval(ms); }

Q_SIGNALS:
    // running() or connected() changed, or the daemon asks for services to be
    // withdrawn for a while (its host name collided or is registering again).
    void stateChanged();
    // The client is about to be freed: free every Avahi object made through it now.
    void resetting();

private:
    friend struct ConnectionCalls;
    void connectToDaemon();
    void reset();
    void clientState(AvahiClient *client, int state);

    QtAvahiPoll *m_poll;
    AvahiClient *m_client = nullptr;
    bool m_running = false;
    bool m_connected = false;
    QTimer m_retry;
};

} // namespace vexlo::discovery
