#include "serverannouncer.h"

#include "catalogue.h"
#include "servicepublisher.h"
#include "tserver.h"

namespace vexlo::discovery {

ServerAnnouncer::ServerAnnouncer(QObject *parent) : QObject(parent)
{
    m_watch.setInterval(1000);
    connect(&m_watch, &QTimer::timeout, this, &ServerAnnouncer::refresh);
}

ServerAnnouncer::~ServerAnnouncer() = default;

GameAnnouncement ServerAnnouncer::describe(const TServer &server)
{
    GameAnnouncement a;
    a.version = QString::fromLatin1(kGameVersion);
    a.players = a.watchers = 0;
    for (int slot = 1; slot <= kMaxSlots; ++slot) {
        if (!server.rules.player(slot).connected)
            continue;
        ++(slot <= kSeatCount ? a.players : a.watchers);
    }
    if (server.rules.player(1).connected)
        a.hostName = QString::fromLatin1(server.rules.player(1).name);
    a.playing = server.gameInProgress();
    if (a.playing) {
        a.round = server.rules.round();
        a.rounds = server.rules.roundsPerGame();
    }
    return a;
}

void ServerAnnouncer::setEnabled(bool on)
{
    m_enabled = on;
    refresh();
}

void ServerAnnouncer::hosting(TServer *server)
{
    if (m_server != server) {
        if (m_server)
            disconnect(m_server, nullptr, this, nullptr);
        m_server = server;
        for (auto signal : {&TServer::playerArrived, &TServer::playerLeft})
            connect(server, signal, this, &ServerAnnouncer::refresh);
        connect(server, &TServer::gameStarted, this, &ServerAnnouncer::refresh);
        connect(server, &TServer::gameWon, this, &ServerAnnouncer::refresh);
    }
    refresh();
}

void ServerAnnouncer::endSession()
{
    if (m_server)
        disconnect(m_server, nullptr, this, nullptr);
    m_server = nullptr;
    refresh();
}

void ServerAnnouncer::refresh()
{
    const bool on = m_enabled && m_server && m_server->listeningPort() != 0;
    if (!on) {
        m_watch.stop();
        if (m_publisher)
            m_publisher->withdraw();
        return;
    }
    if (!m_publisher)
        m_publisher = new ServicePublisher(this); // the daemon is asked only once something is hosted
    const GameAnnouncement a = describe(*m_server);
    // Rounds move on without a signal: look once a second while a game runs.
    if (a.playing && !m_watch.isActive())
        m_watch.start();
    else if (!a.playing)
        m_watch.stop();
    m_publisher->publish(m_server->listeningPort(), a);
}

} // namespace vexlo::discovery
