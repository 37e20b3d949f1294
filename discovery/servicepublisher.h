#pragma once
// ServicePublisher: a hosted game as a `_vexlo._tcp` service of the local
// network, through the Avahi daemon. It publishes while it is given a port,
// sends changes of the announcement at most once a second, takes another name
// when its name is taken, registers again when the daemon restarts, and is
// withdrawn by withdraw() or when it is destroyed. Without a daemon it does
// nothing and says nothing.
#include "gameannouncement.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

struct AvahiEntryGroup;

namespace vexlo::discovery {

class AvahiConnection;

class ServicePublisher : public QObject
{
    Q_OBJECT
public:
    explicit ServicePublisher(QObject *parent = nullptr);
    ~ServicePublisher() override;

    // The service's name as the network lists it ("Vexlo on HOST" by
    // default); clipped to what DNS-SD allows. Takes effect at the next publish().
    void setServiceName(const QString &name);
    QString serviceName() const { return m_name; }
    // The shortest time between two announcements sent (a second).
    void setMinimumInterval(int ms) { m_minimumMs = ms; }

    // Publishes the game on port with the records of announcement, or updates
    // them (now, or a second after the last update).
    void publish(quint16 port, const GameAnnouncement &announcement);
    void withdraw();

    bool published() const { return m_port != 0; }
    // The name and records the daemon holds now (for tests and tools).
    QString registeredName() const { return m_registered ? m_name : QString(); }
    GameAnnouncement sent() const { return m_sent; }
    AvahiConnection *connection() const { return m_connection; }

Q_SIGNALS:
    // The daemon took the service under registeredName(), or updated it.
    void registered();

private:
    friend struct PublisherCalls;
    void sync();
    void sendUpdate();
    void addService();
    void dropGroup();
    void groupState(AvahiEntryGroup *group, int state);
    void takeAlternativeName();

    AvahiConnection *m_connection;
    AvahiEntryGroup *m_group = nullptr;
    QString m_name;
    quint16 m_port = 0;
    quint16 m_groupPort = 0;
    GameAnnouncement m_wanted;
    GameAnnouncement m_sent;
    bool m_registered = false;
    int m_minimumMs = 1000;
    QElapsedTimer m_sinceUpdate;
    QTimer m_update;
};

} // namespace vexlo::discovery
