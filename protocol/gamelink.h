#pragma once
// GameLink: one player's connection to a game server, the same for a person's
// session and for a computer player. It opens the connection; on a server of
// many tables it first asks for a place and lets the slot it was put in at
// arrival go until the server says where it sits; it logs in on the slot the
// server offers; it cuts what arrives into messages and hands them out decoded
// to its receivers. A close this program asks for is not reported as the server
// closing the connection.
//
// The two kinds of player differ in three ways only:
//  - a person's messages wait in a queue handed out one per tick of a 1 ms
//    timer (an error box holds the queue; a server that floods it meanwhile is
//    cut off), a computer player's are handled as they arrive;
//  - a damaged login request is reported to a person (the program's error
//    report) and dropped quietly by a computer player;
//  - a person offered a watcher's slot watches; a computer player never just
//    watches and closes the connection instead.
#include "framing.h"
#include "servermessages.h"
#include "tsock.h"

#include <QBasicTimer>
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class GameLink : public QObject
{
    Q_OBJECT
public:
    enum class Player { Person, Computer };
    enum class Place { Sit, Watch, NewTable };
    // A person's queue: while an error box is open it is not drained; a server
    // that keeps sending meanwhile is cut off once this much waits.
    static constexpr qsizetype MaxWaiting = 10000;
    static constexpr qint64 MaxWaitingBytes = 16 * 1024 * 1024;
    // How long the server has to answer a request for a place.
    static constexpr int PlaceSeconds = 10;
    static constexpr int Seats = 6;

    explicit GameLink(Player player, QObject *parent = nullptr);
    ~GameLink() override;

    // --- before connecting ---
    // The name the login sends, as wire text.
    void setLoginName(const QByteArray &name) { m_loginName = name; }
    // A place to ask for as soon as the connection is up: a seat or a watcher's
    // slot at a table, or a new table. The login waits for the server's answer.
    void askForPlace(Place place, int table = 0);
    // Opens the connection to host (an address written out, or a name TSock
    // looks up) at port. Throws ESockException as TSock::Open does.
    void open(const QString &host, const QString &port);

    // --- the connection ---
    // Sends one message, framed. Throws ESockException with no connection, as
    // TSock does.
    void send(const QByteArray &text);
    bool connected() const { return m_sock.Connected(); }
    bool isOpen() const { return m_sock.hasHandle(); }
    // Closed by this program: what is still unsent goes out first, and the
    // close is not reported as the server's.
    void close();
    // Closed, the queue emptied, the framing restarted, not logged in, no place
    // asked for: as new.
    void reset();
    // The program ends: the queue stops for good.
    void stop();

    // --- receiving ---
    // One message as the connection delivers it (without its terminator):
    // queued for the next tick (a person) or handled now (a computer player).
    void deliver(const QByteArray &text);
    // Hands out the first waiting message (the queue timer calls this).
    void tick();
    qsizetype waiting() const { return m_queue.size(); }
    bool ticking() const { return m_queueTimer.isActive(); }
    // The handlers of the messages, in the order given. The login request and
    // a full server's refusal are the link's own and reach no receiver.
    void addReceiver(std::function<void(const vexlo::DecodedMessage &)> receiver);

    // --- where this player is ---
    int slot() const { return m_slot; }
    bool loggedIn() const { return m_loggedIn; }
    // A place asked for and not yet given.
    bool placing() const { return m_placing; }
    // The table the server seated this player at (0: none asked for, or not yet).
    int table() const { return m_table; }
    // Gives up waiting for the answer to the place request (the place timer
    // calls this): placeRefused follows.
    void givePlaceUp();

    // The connection itself, for those that look at the wire (tests).
    TSock &socket() { return m_sock; }

Q_SIGNALS:
    // The connection is up (a place request, if any, went out).
    void connectedToServer();
    // The connection did not come about; the text is TSock's error info.
    void connectFailed(const QString &errorInfo);
    // The server closed the connection (or the connection broke).
    void closedByServer();
    // The server refused the player: it is full.
    void refusedFull();
    // The place asked for was given, at this table; the login follows.
    void placed(int table);
    // The place asked for was refused (the server's words), or not answered.
    void placeRefused(const QString &reason);
    // Logged in to a slot (the login went out).
    void loggedInTo(int slot);
    // A computer player was offered a watcher's slot and closed the connection.
    void noSeat(int slot);
    // The queue overflowed and the connection was closed (a person).
    void overflowed(const QString &reason);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void onRead();
    void onInfo(TSocketInfo kind, const QString &text);
    void dispatch(const QByteArray &text);
    void placing(const QByteArray &text);
    void login(const vexlo::DecodedMessage &d, int slot);

    const Player m_player;
    TSock m_sock;
    vexlo::MessageFramer m_framer{4096};
    QList<QByteArray> m_queue;
    qint64 m_queueBytes = 0; // the bytes of the messages waiting, counted as they arrive
    QBasicTimer m_queueTimer;
    QBasicTimer m_placeTimer;
    QList<std::function<void(const vexlo::DecodedMessage &)>> m_receivers;
    QByteArray m_loginName;
    int m_slot = 0;
    bool m_loggedIn = false;
    bool m_leaving = false; // this program closes its own connection
    bool m_stopped = false;
    bool m_placing = false;
    Place m_place = Place::Sit;
    int m_wantedTable = 0;
    int m_table = 0;
};
