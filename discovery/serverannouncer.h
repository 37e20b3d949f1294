#pragma once
// ServerAnnouncer: the game a TServer hosts, announced on the local network
// while it is hosted. It reads the table on every arrival, departure, game
// start and winner, and once a second while a game runs (for the round), and
// hands the announcement to a ServicePublisher, which sends at most one change
// a second. Used by the headless server and by a hosting window alike.
#include "gameannouncement.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class TServer;

namespace vexlo::discovery {

class ServicePublisher;

class ServerAnnouncer : public QObject
{
    Q_OBJECT
public:
    explicit ServerAnnouncer(QObject *parent = nullptr);
    ~ServerAnnouncer() override;

    // Off: nothing is announced, and what was is withdrawn. On by default.
    void setEnabled(bool on);
    bool enabled() const { return m_enabled; }
    // The server listens and its game is to be announced.
    void hosting(TServer *server);
    // Hosting stopped: the announcement is withdrawn.
    void endSession();

    // The publisher, once something was announced (null before).
    ServicePublisher *publisher() const { return m_publisher; }
    // What the table looks like to the network.
    static GameAnnouncement describe(const TServer &server);

private:
    void refresh();

    QPointer<TServer> m_server;
    ServicePublisher *m_publisher = nullptr;
    QTimer m_watch;
    bool m_enabled = true;
};

} // namespace vexlo::discovery
