#include "avahiconnection.h"

#include "avahipoll.h"

#include <avahi-client/client.h>
#include <avahi-common/error.h>

namespace vexlo::discovery {

struct ConnectionCalls
{
    static void state(AvahiClient *client, AvahiClientState state, void *userdata)
    {
        static_cast<AvahiConnection *>(userdata)->clientState(client, state);
    }
};

AvahiConnection::AvahiConnection(QObject *parent) : QObject(parent), m_poll(new QtAvahiPoll(this))
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(5000);
    connect(&m_retry, &QTimer::timeout, this, &AvahiConnection::connectToDaemon);
    connectToDaemon();
}

AvahiConnection::~AvahiConnection()
{
    if (m_client)
        avahi_client_free(m_client);
}

void AvahiConnection::connectToDaemon()
{
    int error = 0;
    // With NO_FAIL a missing daemon is waited for; only a missing system bus
    // fails here, and is tried again later. Nothing is printed either way.
    m_client = avahi_client_new(m_poll->api(), AVAHI_CLIENT_NO_FAIL, &ConnectionCalls::state, this, &error);
    if (!m_client)
        m_retry.start();
}

void AvahiConnection::clientState(AvahiClient *client, int state)
{
    if (!m_client)
        m_client = client; // the first call comes from within avahi_client_new
    const bool wasRunning = m_running;
    const bool wasConnected = m_connected;
    m_running = state == AVAHI_CLIENT_S_RUNNING;
    m_connected = m_running || state == AVAHI_CLIENT_S_REGISTERING || state == AVAHI_CLIENT_S_COLLISION;
    if (state == AVAHI_CLIENT_FAILURE) {
        // The daemon went away (or the bus did): start over once this callback
        // has returned, waiting for it to come back.
        QTimer::singleShot(0, this, &AvahiConnection::reset);
    }
    if (wasRunning != m_running || wasConnected != m_connected || state == AVAHI_CLIENT_S_COLLISION
        || state == AVAHI_CLIENT_S_REGISTERING)
        Q_EMIT stateChanged();
}

void AvahiConnection::reset()
{
    if (!m_client || avahi_client_get_state(m_client) != AVAHI_CLIENT_FAILURE)
        return;
    Q_EMIT resetting();
    avahi_client_free(std::exchange(m_client, nullptr));
    m_running = m_connected = false;
    connectToDaemon();
    Q_EMIT stateChanged();
}

} // namespace vexlo::discovery
