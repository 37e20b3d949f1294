// A player's link to a game server, for a person and for a computer player,
// against a raw server on the loopback: what both do alike (a place asked for
// first and the slot given at arrival let go, the login, their own close told
// apart from the server's) and the three ways they differ (the queue, a damaged
// login request, a watcher's slot).
#include "catalogue.h"
#include "errorreport.h"
#include "framing.h"
#include "gamelink.h"
#include "lobby.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace vexlo;
using Player = GameLink::Player;

namespace {

// One connection's far end: records what the link sends, sends it raw text.
struct RawServer
{
    QTcpServer listener;
    QTcpSocket *peer = nullptr;
    MessageFramer framer;
    QList<QByteArray> got;

    RawServer() { listener.listen(QHostAddress::LocalHost, 0); }
    QString port() const { return QString::number(listener.serverPort()); }
    bool accept(GameLink &link)
    {
        return QTest::qWaitFor([&] {
            if (!peer && listener.hasPendingConnections())
                peer = listener.nextPendingConnection();
            return peer && link.connected();
        }, 3000);
    }
    void push(const QByteArray &text)
    {
        peer->write(frame(text));
        peer->flush();
    }
    // The next message the link sent ("" on time-out).
    QByteArray next(int ms = 2000)
    {
        const bool any = QTest::qWaitFor([&] {
            for (QByteArray &m : framer.feed(peer->readAll()))
                got.append(std::move(m));
            return !got.isEmpty();
        }, ms);
        return any ? got.takeFirst() : QByteArray();
    }
    bool closedByLink()
    {
        return QTest::qWaitFor([&] { return peer->state() != QAbstractSocket::ConnectedState; }, 3000);
    }
};

// The command words the receivers were handed.
struct Heard
{
    QList<QByteArray> commands;
    explicit Heard(GameLink &link)
    {
        link.addReceiver([this](const DecodedMessage &d) {
            commands << std::visit([](const auto &m) { return QByteArray(std::decay_t<decltype(m)>::command); },
                                   *d.message);
        });
    }
};

} // namespace

class GameLinkTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void placeFirstThenLogin_data();
    void placeFirstThenLogin();
    void refusedAndUnansweredPlaces();
    void theKindsDiffer();
    void ownCloseIsNotTheServers();
};

void GameLinkTests::placeFirstThenLogin_data()
{
    QTest::addColumn<bool>("person");
    QTest::newRow("person") << true;
    QTest::newRow("computer") << false;
}

void GameLinkTests::placeFirstThenLogin()
{
    QFETCH(bool, person);
    RawServer server;
    GameLink link(person ? Player::Person : Player::Computer);
    Heard heard(link);
    QSignalSpy placed(&link, &GameLink::placed);
    QSignalSpy in(&link, &GameLink::loggedInTo);
    link.setLoginName("Ann");
    link.askForPlace(GameLink::Place::Sit, 3);
    link.open(QStringLiteral("127.0.0.1"), server.port());
    QVERIFY(server.accept(link));
    QCOMPARE(server.next(), QByteArray("CMD_sit+3"));
    QVERIFY(link.placing());

    // The slot given at arrival and what reaches it there are let go.
    server.push("CMD_sendlogininfo+4");
    server.push("CMD_chat+Bob chats: hi|clBlack");
    server.push("CMD_seated+3+2");
    QTRY_COMPARE(placed.size(), 1);
    QCOMPARE(placed[0][0].toInt(), 3);
    QVERIFY(in.isEmpty() && heard.commands.isEmpty());

    server.push("CMD_sendlogininfo+2");
    server.push("CMD_chat+Bob chats: hi|clBlack");
    QCOMPARE(server.next(), QByteArray("CMD_logininfo+2+") + kGameVersion + "+Ann");
    QTRY_COMPARE(heard.commands, QList<QByteArray>{"CMD_chat"});
    QCOMPARE(in.size(), 1);
    QCOMPARE(link.slot(), 2);
    QCOMPARE(link.table(), 3);
    QVERIFY(link.loggedIn() && !link.placing());
}

void GameLinkTests::refusedAndUnansweredPlaces()
{
    for (const bool answered : {true, false}) {
        RawServer server;
        GameLink link(Player::Computer);
        QSignalSpy refused(&link, &GameLink::placeRefused);
        QSignalSpy closed(&link, &GameLink::closedByServer);
        link.askForPlace(GameLink::Place::NewTable);
        link.open(QStringLiteral("127.0.0.1"), server.port());
        QVERIFY(server.accept(link));
        QCOMPARE(server.next(), QByteArray("CMD_newtable+"));
        if (answered)
            server.push("CMD_lobbyerror+All 2 tables of this server are in use.");
        else
            link.givePlaceUp(); // as the place timer does
        QTRY_COMPARE(refused.size(), 1);
        QCOMPARE(refused[0][0].toString(), answered ? QStringLiteral("All 2 tables of this server are in use.")
                                                    : QStringLiteral("the server did not answer the request for a place."));
        QVERIFY(!link.isOpen() && !link.placing());
        QVERIFY(server.closedByLink());
        QVERIFY(closed.isEmpty());
    }
}

void GameLinkTests::theKindsDiffer()
{
    QStringList reported;
    setErrorReporter([&](const QString &text) { reported << text; });
    for (const Player player : {Player::Person, Player::Computer}) {
        const bool person = player == Player::Person;
        RawServer server;
        GameLink link(player);
        Heard heard(link);
        QSignalSpy noSeat(&link, &GameLink::noSeat);
        QSignalSpy in(&link, &GameLink::loggedInTo);
        link.setLoginName("Ann");
        link.open(QStringLiteral("127.0.0.1"), server.port());
        QVERIFY(server.accept(link));

        // A person's messages wait for the queue's tick; a computer player's do not.
        link.deliver("CMD_startround+1");
        QCOMPARE(heard.commands.size(), person ? 0 : 1);
        QCOMPARE(link.waiting(), person ? 1 : 0);
        QTRY_COMPARE(heard.commands.size(), 1);
        QTRY_VERIFY(!link.ticking());

        // A damaged login request: reported to a person, dropped by a computer player.
        reported.clear();
        link.deliver("CMD_sendlogininfo+x");
        QTRY_COMPARE(reported.size(), person ? 1 : 0);
        QVERIFY(!link.loggedIn() && in.isEmpty());

        // A watcher's slot: a person watches, a computer player goes.
        server.push("CMD_sendlogininfo+7");
        if (person) {
            QCOMPARE(server.next(), QByteArray("CMD_logininfo+7+") + kGameVersion + "+Ann");
            QVERIFY(link.loggedIn());
        } else {
            QTRY_COMPARE(noSeat.size(), 1);
            QVERIFY(server.closedByLink());
            QCOMPARE(server.next(200), QByteArray());
            QVERIFY(!link.loggedIn() && !link.isOpen());
        }

        // Sending with no connection: a person's is an error, a computer player's is let go.
        link.close();
        bool threw = false;
        try {
            link.send("CMD_pass+1");
        } catch (const ESockException &) {
            threw = true;
        }
        QCOMPARE(threw, person);
    }
    setErrorReporter({});
}

void GameLinkTests::ownCloseIsNotTheServers()
{
    RawServer server;
    GameLink link(Player::Person);
    QSignalSpy closed(&link, &GameLink::closedByServer);
    link.open(QStringLiteral("127.0.0.1"), server.port());
    QVERIFY(server.accept(link));
    link.send("CMD_chat+last words");
    link.close();
    QCOMPARE(server.next(), QByteArray("CMD_chat+last words")); // what was unsent still went out
    QVERIFY(server.closedByLink());
    QVERIFY(closed.isEmpty());

    // Opened again, and this time the server goes.
    link.reset();
    link.open(QStringLiteral("127.0.0.1"), server.port());
    server.peer = nullptr;
    QVERIFY(server.accept(link));
    server.peer->close();
    QTRY_COMPARE(closed.size(), 1);
    QVERIFY(!link.connected());
}

QTEST_GUILESS_MAIN(GameLinkTests)
#include "tst_gamelink.moc"
