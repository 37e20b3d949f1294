#include "computerseats.h"

#include "computerplayer.h"
#include "tserver.h"

ComputerSeats::ComputerSeats(QObject *parent) : QObject(parent)
{
    connect(&m_bots, &BotManager::countChanged, this, &ComputerSeats::changed);
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
    // Their departures, which come later, belong to no session.
    for (ComputerPlayer *p : std::as_const(m_session))
        if (p)
            disconnect(p, nullptr, this, nullptr);
    m_session.clear();
    m_bots.removeAll(); // the manager forgets them as their connections close
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
    m_session.append(p);
    connect(p, &ComputerPlayer::loggedIn, this, &ComputerSeats::changed);
    connect(p, &ComputerPlayer::disconnected, this, [this, p] {
        m_session.removeOne(p);
        countChanged();
    });
    countChanged();
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

void ComputerSeats::countChanged()
{
    Q_EMIT changed();
    if (!m_solo || !m_server || m_restoring || count() == m_kept)
        return;
    m_kept = count();
    Q_EMIT keptChanged(m_kept);
}
