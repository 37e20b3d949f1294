#pragma once
// TableServer: one listening port, many tables (vexlo-server --tables N with
// N > 1). It accepts connections and lets the TableLobby place them, cuts what
// they send into messages and queues them per table, handing a table one
// message per 10 ms as the single-table server does, and runs every table's
// round second. One Deadlines timer serves all of that, so an idle server
// sleeps however many tables it holds. The lobby messages (the list with its
// pushed changes, sit, watch, new table) are answered here, within the limits
// against abuse. Everything runs on the event loop.
#include "deadlines.h"
#include "framing.h"
#include "tablelobby.h"
#include "tsock.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <memory>
#include <unordered_map>

struct TableLimits
{
    int connectionsPerAddress = 32;
    int newTablesPerMinute = 10;     // by lobby request, per address
    int lobbyRequestsPerSecond = 5;  // per connection
    // Connections from this machine (the server's own computer players, a
    // local test) are held to none of the per-address limits.
    bool trustLoopback = true;
    // And further addresses held to none of them (the server's own, when its
    // computer players come from the one address it is bound to).
    QList<QHostAddress> trusted;
};

class TableServer : public QObject
{
    Q_OBJECT
public:
    TableServer(int mostTables, const TDictn *spell = nullptr, const TargetList *words = nullptr,
                QObject *parent = nullptr);
    ~TableServer() override;

    // As TServer's: throws ESockException ("Listen - Error Binding Socket", ...).
    void startListening(const QString &port, const QHostAddress &address = QHostAddress::Any);
    quint16 listeningPort() const { return m_listener.localPort(); }
    // Closes every connection and the listener.
    void shutdown();

    void setSeed(quint32 seed) { m_lobby.setSeed(seed); }
    void setSecondLength(int ms) { m_secondMs = ms > 0 ? ms : 1000; }
    TableLimits &limits() { return m_limits; }

    // --- state, readable by tests and tools ---
    const TableLobby &lobby() const { return m_lobby; }
    int connectionCount() const { return static_cast<int>(m_connections.size()); }
    qsizetype queueLength() const;
    QString peerAddress(int table, int slot) const;
    // The deadlines waiting: round seconds and queue ticks (0 when idle).
    std::size_t pendingDeadlines() const { return m_deadlines.size(); }

Q_SIGNALS:
    void playerArrived(int table, int slot, const QByteArray &name, const QString &peerAddress);
    void playerLeft(int table, int slot, const QByteArray &name, const QString &peerAddress);
    void playerRemoved(int table, int slot, const QByteArray &name, const QString &peerAddress);
    void gameStarted(int table, int rounds, int secondsPerRound, const QString &hostAddress);
    void gameWon(int table, const QByteArray &winnerName);
    void tableOpened(int table);
    void tableClosed(int table);
    // A connection turned away by a limit, with the reason it was told (CMD_lobbyerror).
    void refused(const QString &peerAddress, const QByteArray &reason);

private:
    struct Connection
    {
        QPointer<TSock> sock;
        vexlo::MessageFramer framer{4096};
        QString peer;
        bool trusted = false;
        int table = 0; // 0: in the lobby
        int slot = 0;
        quint64 seating = 0; // changes with every move, so old queued messages lapse
        int queued = 0;
        bool subscribed = false;
        qint64 requestWindow = -1000; // start of the second the requests are counted in
        int requests = 0;
    };
    struct Queued
    {
        quint64 connection;
        quint64 seating;
        QByteArray text;
    };
    struct Pace
    {
        QList<Queued> queue;
        // The queue's pace: one message per 10 ms, with a burst of a few
        // taken at once, so that two words close together do not wait.
        double credit = 0;
        qint64 refilledAt = -1000000;
        quint64 timer1Starts = 0;
        qint64 secondDue = 0; // when the round second last fell due
    };
    enum Kind : quint64 { Housekeeping = 0, QueueTick = 1, RoundSecond = 2 };

    void accept();
    void read(quint64 id);
    void dispatch(quint64 id, const QByteArray &text);
    void closed(quint64 id);
    void refuse(TSock *sock, const QString &peer, const QByteArray &reason);
    bool isLobbyRequest(const QByteArray &text) const;
    void lobbyRequest(quint64 id, const QByteArray &text);
    bool mayOpenTable(const Connection &c);
    // The connection, in the lobby, takes the place it was given.
    void seat(quint64 id, const TableLobby::Place &place, bool opened);
    // Frees the connection's slot. What it sent since is dropped, or, with
    // rest, handed back to be dispatched again from its new place.
    void leaveTable(quint64 id, QList<QByteArray> *rest = nullptr);
    void sendList(quint64 id);
    void sendTo(quint64 id, const QByteArray &text);

    void flush(int table);
    void syncRoundSecond(int table);
    void deadline(Deadlines::Key key);
    void queueTick(int table);
    // When the table's queue may take its next message.
    qint64 nextTake(Pace &pace);
    void roundSecond(int table);
    void housekeeping();
    void scheduleHousekeeping();
    static Deadlines::Key keyOf(int table, Kind kind) { return static_cast<quint64>(table) * 4 + kind; }

    TableLobby m_lobby;
    TableLimits m_limits;
    TSock m_listener;
    Deadlines m_deadlines;
    int m_secondMs = 1000;
    quint64 m_nextId = 0;
    std::unordered_map<quint64, Connection> m_connections;
    std::unordered_map<int, Pace> m_pace; // by table
    QSet<quint64> m_subscribers;
    QHash<QString, int> m_perAddress;
    QHash<QString, QList<qint64>> m_tablesOpenedBy; // times of lobby openings, per address
};
