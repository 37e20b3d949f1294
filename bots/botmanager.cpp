#include "botmanager.h"

#include "computerplayer.h"

#include <QRandomGenerator>

BotManager::BotManager(QObject *parent)
    : QObject(parent), m_nextSeed(QRandomGenerator::global()->generate64())
{
}

BotManager::~BotManager()
{
    for (const QPointer<ComputerPlayer> &p : std::as_const(m_players)) {
        if (p) {
            p->disconnect(this);
            botnames::release(p->name());
            delete p.data();
        }
    }
}

void BotManager::setServer(const QString &host, quint16 port)
{
    m_host = host;
    m_port = port;
}

ComputerPlayer *BotManager::add(BotSpeed speed)
{
    auto *p = new ComputerPlayer(botnames::claim(), speed, m_nextSeed++, WordIndex::shared(), this);
    p->setSecondLength(m_secondMs);
    p->setTable(m_table);
    m_players.append(p);
    connect(p, &ComputerPlayer::disconnected, this, [this, p] { forget(p); });
    p->connectTo(m_host, m_port);
    Q_EMIT countChanged(count());
    return p;
}

void BotManager::remove(ComputerPlayer *player)
{
    if (player && m_players.contains(player))
        player->leave();
}

void BotManager::removeAll()
{
    for (ComputerPlayer *p : players())
        remove(p);
}

void BotManager::forget(ComputerPlayer *player)
{
    if (!m_players.removeOne(player))
        return;
    botnames::release(player->name());
    player->disconnect(this);
    player->deleteLater();
    Q_EMIT countChanged(count());
}

QList<ComputerPlayer *> BotManager::players() const
{
    QList<ComputerPlayer *> out;
    for (const QPointer<ComputerPlayer> &p : m_players)
        if (p)
            out << p.data();
    return out;
}

QStringList BotManager::names() const
{
    QStringList out;
    for (const ComputerPlayer *p : players())
        out << QString::fromLatin1(p->name());
    return out;
}

ComputerPlayer *BotManager::playerAt(int slot, const QByteArray &name) const
{
    for (ComputerPlayer *p : players())
        if (p->slot() == slot && p->name() == name)
            return p;
    return nullptr;
}

void BotManager::setHostedBots(int n, BotSpeed speed)
{
    m_hostedCount = std::clamp(n, 0, kMaxHostedBots);
    m_hostedSpeed = speed;
}

void BotManager::playerArrived(int slot, const QByteArray &name, const QString & /*peerAddress*/)
{
    if (playerAt(slot, name))
        return; // one of ours
    m_people.insert(slot);
    // The first person holds slot 1 and is the host: the bots come in after it.
    if (slot == 1 && !m_hostedOn && m_hostedCount > 0) {
        m_hostedOn = true;
        for (int k = 0; k < m_hostedCount; ++k)
            add(m_hostedSpeed);
    }
}

void BotManager::playerLeft(int slot, const QByteArray &name, const QString & /*peerAddress*/)
{
    if (playerAt(slot, name))
        return; // one of ours: forgotten when its connection closes
    m_people.remove(slot);
    if (m_people.isEmpty() && m_hostedOn) {
        m_hostedOn = false;
        removeAll();
    }
}
