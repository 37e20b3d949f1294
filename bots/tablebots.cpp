#include "tablebots.h"

void TableBots::setServer(const QString &host, quint16 port)
{
    m_host = host;
    m_port = port;
}

void TableBots::setHostedBots(int count, BotSpeed speed)
{
    m_count = count;
    m_speed = speed;
}

void TableBots::playerArrived(int table, int slot, const QByteArray &name, const QString &peerAddress)
{
    BotManager *&bots = m_tables[table];
    if (!bots) {
        bots = new BotManager(this);
        bots->setServer(m_host, m_port);
        bots->setTable(table);
        bots->setSecondLength(m_secondMs);
        if (m_seeded)
            bots->setSeed(m_seed + static_cast<quint64>(table) * BotManager::kMaxHostedBots);
        bots->setHostedBots(m_count, m_speed);
    }
    bots->playerArrived(slot, name, peerAddress);
}

void TableBots::playerLeft(int table, int slot, const QByteArray &name, const QString &peerAddress)
{
    // A table's manager stays for the next people there: a number that comes
    // back is a new table with the same players' policy.
    if (BotManager *bots = m_tables.value(table))
        bots->playerLeft(slot, name, peerAddress);
}
