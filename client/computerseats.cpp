#include "computerseats.h"

#include "computerplayer.h"
#include "tserver.h"

ComputerSeats::ComputerSeats(QObject *parent) : QObject(parent)
{
    connect(&m_bots, &BotManager::countChanged, this, &ComputerSeats::countChanged);
}

void ComputerSeats::hosting(TServer *server)
{
    if (m_server)
        disconnect(m_server, nullptr, this, nullptr);
    m_server = server;
    m_restored = false;
    if (!server)
        return;
    m_bots.setServer(QStringLiteral("127.0.0.1"), server->listeningPort());
    connect(server, &TServer::playerArrived, this, &ComputerSeats::changed);
    connect(server, &TServer::playerLeft, this, &ComputerSeats::changed);
    Q_EMIT changed();
}

void ComputerSeats::endSession()
{
    if (m_server)
        disconnect(m_server, nullptr, this, nullptr);
    m_server = nullptr;
    m_solo = false;
    m_bots.removeAll(); // they are forgotten as their connections close
    Q_EMIT changed();
}

bool ComputerSeats::seatFree() const
{
    if (!m_server)
        return false;
    int free = 0;
    for (int s = 1; s <= kSeats; ++s)
        free += m_server->player(s).connected ? 0 : 1;
    // A player that has no slot yet will take one of them.
    for (const ComputerPlayer *p : m_bots.players())
        free -= p->slot() == 0 ? 1 : 0;
    return free > 0;
}

ComputerPlayer *ComputerSeats::add(BotSpeed speed)
{
    if (!seatFree())
        return nullptr;
    ComputerPlayer *p = m_bots.add(speed);
    connect(p, &ComputerPlayer::loggedIn, this, &ComputerSeats::changed);
    Q_EMIT changed();
    return p;
}

void ComputerSeats::restore(BotSpeed speed)
{
    if (!m_solo || !m_server || m_restored)
        return;
    m_restored = true;
    m_restoring = true;
    for (int k = 0; k < m_kept && add(speed); ++k) {
    }
    m_restoring = false;
}

void ComputerSeats::countChanged(int count)
{
    Q_EMIT changed();
    if (!m_solo || !m_server || m_restoring || count == m_kept)
        return;
    m_kept = count;
    Q_EMIT keptChanged(count);
}
