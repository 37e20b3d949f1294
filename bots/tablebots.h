#pragma once
// TableBots: the computer players of a server with many tables. Each table gets
// its own BotManager, so `--bots K` seats K players at every table once its
// first person (slot 1, the host) has logged in, and they leave with its last
// person; what happens at one table never moves the players of another.
#include "botmanager.h"

#include <QHash>
#include <QObject>
#include <QString>

class TableBots : public QObject
{
    Q_OBJECT
public:
    explicit TableBots(QObject *parent = nullptr) : QObject(parent) {}

    void setServer(const QString &host, quint16 port);
    void setSeed(quint64 seed) { m_seed = seed; m_seeded = true; }
    void setSecondLength(int ms) { m_secondMs = ms; }
    void setHostedBots(int count, BotSpeed speed);

    // The players of one table (null before anyone came there).
    BotManager *table(int table) const { return m_tables.value(table); }

public Q_SLOTS:
    // Connected to TableServer's signals of the same names.
    void playerArrived(int table, int slot, const QByteArray &name, const QString &peerAddress);
    void playerLeft(int table, int slot, const QByteArray &name, const QString &peerAddress);

private:
    QString m_host = QStringLiteral("127.0.0.1");
    quint16 m_port = 7772;
    quint64 m_seed = 0;
    bool m_seeded = false;
    int m_secondMs = 1000;
    int m_count = 0;
    BotSpeed m_speed = BotSpeed::Normal;
    QHash<int, BotManager *> m_tables;
};
