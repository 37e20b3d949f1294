#pragma once
// TServer: the game server every copy of the program carries. It comes to life
// when the host makes its listening socket listen: it accepts connections into
// numbered slots, cuts what they send into messages, queues them in
// `receivedlist` and hands one per `socktimer` tick to the game's rules
// (GameRules), and runs the rules' one-second round timer `timer1`. What the
// rules answer it sends, closes or reports, in the order given. Everything runs
// on the event loop.
#include "framing.h"
#include "gamerules.h"
#include "tsock.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <array>
#include <memory>

class OneTableLobby;

// Bounds against a hostile peer: bytes kept of one message, and messages one
// connection may have waiting before it is dropped.
inline constexpr qsizetype kMaxMessageBytes = 4096;
inline constexpr int kMaxQueuedPerConnection = 100;

// One slot's connection: its socket, which accept it is, its unfinished bytes,
// how many of its messages wait in the queue, and who is at the other end.
struct tconnection
{
    QPointer<TSock> connection;
    quint64 connectionId = 0;
    vexlo::MessageFramer framer{kMaxMessageBytes};
    int queued = 0;
    QString peerAddress;
    bool loggedIn = false;
};

// A slot as tests and tools see it: the rules' record and the connection.
struct tplayerview : tplayer
{
    QPointer<TSock> connection;
};

class TServer : public QObject
{
    Q_OBJECT
public:
    // The dictionary and target list are borrowed; either may be null (every
    // word is then refused, and no game can be drawn).
    explicit TServer(const TDictn *spell = nullptr, const TargetList *words = nullptr,
                     QObject *parent = nullptr);
    ~TServer() override;

    // Makes Sock1 listen on the port (decimal text; "0" picks a free one) and
    // the address (every local one, IPv4 and IPv6, by default).
    // Throws ESockException ("Listen - Error Binding Socket", ...).
    void startListening(const QString &port, const QHostAddress &address = QHostAddress::Any);
    quint16 listeningPort() const { return Sock1.localPort(); }
    // Closes every connection and the listener.
    void shutdown();
    // Shuts down and forgets the players and the game: the next startListening
    // begins a fresh table, as a new program would.
    void reset();

    RandomGenerator &random() { return rules.random(); }
    // Length of one game second in milliseconds (1000; shorter for quick test games).
    void setSecondLength(int ms) { timer1.setInterval(ms); }

    // --- socket events ---
    void Sock1Accept(TSock *sender);
    void Sock1Read(TSock *sender, int count);
    void tempsockDisconnect(TSock *sender);
    void tempsockInfo(TSock *sender, TSocketInfo info, const QString &msg);
    void disconnectsock(int slot);

    // --- timers (tests call these directly instead of waiting) ---
    void socktimerTimer();
    void timer1Timer();

    // --- state, readable by tests and tools ---
    GameRules rules;
    tplayerview player(int slot) const;
    const tword &board(int round, int index) const { return rules.board(round, index); }
    int highestSlot() const { return rules.highestSlot(); }
    qsizetype queueLength() const { return receivedlist.size(); }
    // Messages taken out of the queue so far.
    quint64 messagesTaken() const { return m_taken; }
    bool gameInProgress() const { return rules.gameInProgress(); }
    int round() const { return rules.round(); }
    int roundPhase() const { return rules.roundPhase(); }
    bool timer1Active() const { return timer1.isActive(); }
    bool socktimerActive() const { return socktimer.isActive(); }
    QString peerAddress(int slot) const { return connectionOf(slot).peerAddress; }
    // Who follows the table's list (the lobby messages of this one table).
    const OneTableLobby &lobby() const { return *m_lobby; }

    TSock Sock1;
    TSock tempsock;

Q_SIGNALS:
    void playerArrived(int slot, const QByteArray &name, const QString &peerAddress);  // a login accepted
    void playerLeft(int slot, const QByteArray &name, const QString &peerAddress);     // a logged-in slot freed (close, reset, removal)
    void playerRemoved(int slot, const QByteArray &name, const QString &peerAddress);  // removed by the host (emitted before playerLeft)
    void gameStarted(int rounds, int secondsPerRound);
    void gameWon(const QByteArray &winnerName);

private:
    // The lobby messages of this one table are answered there.
    friend class OneTableLobby;
    struct Queued
    {
        int slot;
        quint64 connectionId;
        QByteArray text;
    };

    const tconnection &connectionOf(int slot) const { return connections[static_cast<size_t>(slot)]; }
    tconnection &connectionOf(int slot) { return connections[static_cast<size_t>(slot)]; }
    // Carries out what the rules answered, in order.
    void flush();
    void sendTo(int slot, const QByteArray &text);
    void syncTimer1();
    void scheduleDispatch();
    void dropQueued(int slot, quint64 connectionId);

    const TDictn *m_spell;
    const TargetList *m_words;
    std::array<tconnection, 12> connections; // 1..11; 0 unused
    int acceptingslot = 0;
    quint64 m_nextConnectionId = 0;

    QList<Queued> receivedlist;
    quint64 m_taken = 0;
    QTimer socktimer;
    QElapsedTimer m_sinceTick;

    QTimer timer1;
    quint64 m_timer1Starts = 0; // the rules' starts this timer has followed
    std::unique_ptr<OneTableLobby> m_lobby;
};
