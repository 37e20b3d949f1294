#pragma once
// Session: this program's place in a game, with no widget. It hosts (starting the
// game server of this process and joining it at 127.0.0.1), joins a host, or
// plays solo, and opens the lobby link. Its connection is a person's GameLink,
// the one the computer players use too: the login, the place at a table, and
// the queue that hands out one message per tick. A connection that does not
// come about is said once, as a session line. Switching to another session in
// the same program goes through reset().
//
// Implemented in session.cpp (the connection and what it reports) and
// sessionstart.cpp (hosting, joining, solo, leaving, the title).
#include "gamelink.h"
#include "servermessages.h"
#include "tserver.h"
#include "tsock.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class QHostInfo;
namespace vexlo {
struct HostAddressText;
}

class Session : public QObject
{
    Q_OBJECT
public:
    // What was started, as the title names it.
    enum class Kind { None, Solo, Hosting, Joined };
    static constexpr int ConnectSeconds = 10;

    explicit Session(QObject *parent = nullptr);
    ~Session() override;

    // The game server of this process (null: this program cannot host).
    void setServer(TServer *server);
    TServer *server() const;

    // --- starting ---
    // As the command line says: no words plays solo, NAME ADDRESS true hosts,
    // NAME ADDRESS false joins (and the lobby link opens); fewer words only say
    // the loading line. Failures throw (the caller shows them).
    void startFromArgs(const QStringList &args);
    // A new session chosen from the window: the current one is reset first. A
    // port in use or a connection that fails is said as a session line.
    void startSolo();
    void host(const QString &name, const QString &port);
    // Joins the game at an address as typed ("host", "host:port", "[v6]:port").
    void join(const QString &name, const QString &typed, const vexlo::HostAddressText &address);
    // Joins a table of a server, as join() does, asking for a place there once
    // connected: a seat or a watcher slot at table, or a new table. The login
    // follows the place; a refusal is said as a session line and ends the session.
    using Place = GameLink::Place;
    void joinTable(const QString &name, const QString &typed, const vexlo::HostAddressText &address, Place place,
                   int table = 0);
    // The table this session sat down at (0: none asked for, or not yet there).
    int table() const { return m_link.table(); }
    // Joins host:port as the command line does (no reset, no session line).
    void connectTo(const QString &name, const QString &host, const QString &port);
    // Back to no session: the connection and the server of this process closed,
    // the queue emptied, not logged in.
    void reset();
    // The program ends: the queue stops, computer players leave.
    void shutDown();

    // --- state ---
    Kind kind() const { return m_kind; }
    int slot() const { return m_link.slot(); }
    bool loggedIn() const { return m_link.loggedIn(); }
    bool isHost() const { return m_host; }
    // A joined program acts as the host (a stand-in host in tests) or not.
    void setHosting(bool host)
    {
        m_host = host;
        Q_EMIT roleChanged(host);
    }
    QString playerName() const { return m_name; }
    QString hostAddress() const { return m_hostAddress; }
    // The game port ("7772" or VEXLO_PORT; "0" lets the server pick one).
    QString port() const { return m_port; }
    void setPort(const QString &port) { m_port = port; }
    void setLobbyPort(const QString &port) { m_lobbyPort = port; }
    bool connected() const { return m_link.connected(); }
    // The window title naming the session.
    QString title() const;

    // --- sending and receiving ---
    void send(const QByteArray &text);
    // A message as the connection delivers it: queued for the next tick.
    void enqueue(const QByteArray &text);
    // Hands out the first waiting message (the queue timer calls this).
    void tick();
    qsizetype waiting() const { return m_link.waiting(); }
    // A connect under way, or a place asked for, that a timer will give up.
    bool connecting() const { return m_connectTimer.isActive() || m_link.placing(); }
    bool ticking() const { return m_link.ticking(); }
    // The handlers of the messages, in the order given; a handler's error (a
    // damaged field it reached) is reported and the queue goes on.
    void addReceiver(std::function<void(const vexlo::DecodedMessage &)> receiver);

    // The connections themselves, for those that look at the wire (tests).
    TSock &socket() { return m_link.socket(); }
    TSock &lobbySocket() { return m_lobby; }
    // Gives up a connect nobody answered (the connect timer calls this).
    void connectTimedOut();
    void hostLookedUp(const QHostInfo &info);

Q_SIGNALS:
    // A line for the chat, in the system colour.
    void line(const QString &text);
    void titleChanged(const QString &title);
    // This program hosts (true) or joins (false) from now on.
    void roleChanged(bool host);
    // The server of this process listens; solo: a solo game.
    void hosting(TServer *server, bool solo);
    // Logged in to a slot (the login went out).
    void loggedInTo(int slot);
    // The session ends: emitted before the connections close.
    void ending();
    // The session was reset: everything as the window starts.
    void cleared();
    // The game server closed the connection, or refused it as full.
    void closedByServer();
    void refusedFull();

private:
    void onConnected();
    void onOverflow(const QString &reason);
    void placeRefused(const QString &reason);
    void hostHere();
    void hostFromWindow();
    void joinHere();
    void openGameConnection();
    void openLobbyLink();
    void connectFailed(const QString &reason);
    void closeQuietly();
    void abortLookup();
    void setKind(Kind kind, const QString &address);

    GameLink m_link{GameLink::Player::Person};
    TSock m_lobby;
    QTimer m_connectTimer;
    QPointer<TServer> m_server;

    Kind m_kind = Kind::None;
    QString m_address; // the address the title names, as typed
    bool m_host = false;
    QString m_name;
    QString m_hostAddress;
    QString m_port;
    QString m_lobbyPort = QStringLiteral("9001");
    int m_lookup = -1; // the host name lookup under way, -1 for none
};
