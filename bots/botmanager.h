#pragma once
// BotManager: the computer players of one hosting program. It adds and removes
// them against one game server, gives each a unique name and its own seed, and
// forgets a player whose connection closed (removed by the host, or the server
// gone). A program with no window lets it follow its server's people instead:
// hosted bots join once slot 1 (the host) has logged in, leave when the last
// person leaves, and come back with the next host.
#include "botprofile.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>

class ComputerPlayer;

class BotManager : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxHostedBots = 5;

    explicit BotManager(QObject *parent = nullptr);
    ~BotManager() override;

    // The server the players join (127.0.0.1 and the server's port for a host).
    void setServer(const QString &host, quint16 port);
    // On a server of many tables: the table the players sit at.
    void setTable(int table) { m_table = table; }
    // Seed of the first player; each further player takes the next one.
    void setSeed(quint64 seed) { m_nextSeed = seed; }
    // Length of a second of the players' clock (see ComputerPlayer).
    void setSecondLength(int ms) { m_secondMs = ms; }

    // A new player at the speed, connecting at once; it logs in when the server
    // gives it a slot (in a running game as a late arrival).
    ComputerPlayer *add(BotSpeed speed);
    // Closes the player's connection; it is forgotten once the connection is gone.
    void remove(ComputerPlayer *player);
    void removeAll();

    int count() const { return static_cast<int>(m_players.size()); }
    QList<ComputerPlayer *> players() const;
    QStringList names() const;
    // The player logged in at that slot under that name, or null.
    ComputerPlayer *playerAt(int slot, const QByteArray &name) const;

    // --- the policy of a program without a window ---
    // count (0 to kMaxHostedBots) players at the speed follow the server's people.
    void setHostedBots(int count, BotSpeed speed);
    int peopleCount() const { return static_cast<int>(m_people.size()); }

public Q_SLOTS:
    // Connected to the server's signals of the same names.
    void playerArrived(int slot, const QByteArray &name, const QString &peerAddress);
    void playerLeft(int slot, const QByteArray &name, const QString &peerAddress);

Q_SIGNALS:
    void countChanged(int count);

private:
    void forget(ComputerPlayer *player);

    QString m_host = QStringLiteral("127.0.0.1");
    quint16 m_port = 7772;
    int m_table = 0;
    quint64 m_nextSeed;
    int m_secondMs = 1000;
    QList<QPointer<ComputerPlayer>> m_players;

    int m_hostedCount = 0;
    BotSpeed m_hostedSpeed = BotSpeed::Normal;
    QSet<int> m_people;        // slots of the people logged in
    bool m_hostedOn = false;   // the hosted bots were sent in for the present host
};
