// The server's slots, logins, removals, relays and its defences, over loopback.
#include "catalogue.h"
#include "testclient.h"
#include "tserver.h"

#include <QTest>
#include <memory>
#include <sys/socket.h>

using namespace vexlo;

namespace {

struct Table
{
    TServer server;
    std::vector<std::unique_ptr<TestClient>> clients;

    Table() { server.startListening(QStringLiteral("0")); }

    // Connects a client and, when name is given, logs it in; returns it.
    TestClient &join(const QByteArray &name = {})
    {
        clients.push_back(std::make_unique<TestClient>(server.listeningPort()));
        TestClient &c = *clients.back();
        if (!name.isEmpty())
            c.login(name);
        return c;
    }
    // Waits until the server has handled everything queued.
    bool settle() { return QTest::qWaitFor([&] { return server.queueLength() == 0; }, 3000); }
};

} // namespace

class SessionTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void slotsFillLowestFirstAndAreReused();
    void spySlotsAndTheTenthConnection();
    void loginAnnouncesEveryone();
    void wrongVersionIsToldButKept();
    void removalByTheHostOnly();
    void departuresAreToldOnce();
    void resetConnectionFreesTheSlot();
    void relays();
    void watching();
    void senderSlotIsAuthoritative();
    void badInputLeavesTheServerServing();
    void floodingConnectionIsDropped();
    void idleServerDoesNotTick();
};

void SessionTests::slotsFillLowestFirstAndAreReused()
{
    Table t;
    TestClient &host = t.join("Red");
    QCOMPARE(host.got.first(), QByteArray("CMD_sendlogininfo+1"));
    TestClient &b = t.join("Blue");
    TestClient &c = t.join("Green");
    QCOMPARE(b.waitForSlot(), 2);
    QCOMPARE(c.waitForSlot(), 3);
    QVERIFY(c.waitFor("CMD_newplayerinfo+3+Green"));

    b.sock.disconnectFromHost();
    QVERIFY(host.waitFor("CMD_playerdisconnected+2+Blue"));
    QVERIFY(!t.server.player(2).connected);
    TestClient &d = t.join("Gold");
    QCOMPARE(d.waitForSlot(), 2);
    QCOMPARE(t.server.highestSlot(), 3);
}

void SessionTests::spySlotsAndTheTenthConnection()
{
    Table t;
    for (int i = 1; i <= 9; ++i) {
        TestClient &c = t.join();
        QCOMPARE(c.waitForSlot(), i);
    }
    QCOMPARE(t.server.highestSlot(), 9);
    TestClient &tenth = t.join();
    QVERIFY(tenth.waitFor("CMD_full+"));
    QTRY_VERIFY(tenth.closed);
    QCOMPARE(tenth.got, QList<QByteArray>{"CMD_full+"});
    QCOMPARE(t.server.highestSlot(), 9);
    for (int s = 1; s <= 9; ++s)
        QVERIFY(t.server.player(s).connected);
    // The nine are unaffected: slot 9 still chats.
    TestClient &ninth = *t.clients[8];
    ninth.send(msg::logininfo(9, kGameVersion, "Spy"));
    ninth.send(msg::chat(9, "still here", "clBlack"));
    QVERIFY(t.clients[0]->waitFor("CMD_chat+Spy chats: still here|clBlack"));
}

void SessionTests::loginAnnouncesEveryone()
{
    Table t;
    TestClient &host = t.join("Red");
    QVERIFY(host.waitFor("CMD_newplayerinfo+1+Red"));
    TestClient &silent = t.join(); // slot 2, connected but not logged in yet
    QCOMPARE(silent.waitForSlot(), 2);
    TestClient &blue = t.join("Blue+Co");
    QVERIFY(blue.waitFor("CMD_newplayerinfo+3+Blue+Co"));
    QVERIFY(host.waitFor("CMD_newplayerinfo+3+Blue+Co"));
    QVERIFY(silent.waitFor("CMD_newplayerinfo+3+Blue+Co"));
    // The newcomer hears of every other connection, named or not, in slot order.
    QVERIFY(blue.waitFor("CMD_existingplayers+2+"));
    QCOMPARE(blue.withPrefix("CMD_existingplayers+"),
             (QList<QByteArray>{"CMD_existingplayers+1+Red", "CMD_existingplayers+2+"}));
    QCOMPARE(t.server.player(3).name, QByteArray("Blue+Co"));
    QVERIFY(host.withPrefix("CMD_existingplayers").isEmpty());
    // No game runs: no game state is sent.
    QVERIFY(blue.withPrefix("CMD_loadstats").isEmpty());
}

void SessionTests::wrongVersionIsToldButKept()
{
    Table t;
    TestClient &host = t.join("Red");
    TestClient &old = t.join();
    old.login("Oldie", "1.0.2");
    QVERIFY(host.waitFor("CMD_havewrongversion+Oldie"));
    QVERIFY(old.waitFor("CMD_wrongversion+"));
    QVERIFY(old.waitFor("CMD_newplayerinfo+2+Oldie"));
    QVERIFY(!old.closed);
    QVERIFY(host.withPrefix("CMD_wrongversion").isEmpty());
    old.send(msg::chat(2, "hi", "clBlack"));
    QVERIFY(host.waitFor("CMD_chat+Oldie chats: hi|clBlack"));
}

void SessionTests::removalByTheHostOnly()
{
    Table t;
    TestClient &host = t.join("Red");
    TestClient &blue = t.join("Blue");
    TestClient &green = t.join("Green");
    QVERIFY(green.waitFor("CMD_newplayerinfo+3+Green"));
    blue.send("CMD_kickhim+2+3+");
    blue.send("CMD_kickhim+1+3+"); // pretends to be the host
    QVERIFY(t.settle());
    QTest::qWait(50);
    QVERIFY(!green.closed);
    QVERIFY(t.server.player(3).connected);

    host.send("CMD_kickhim+1+3+");
    QTRY_VERIFY(green.closed);
    QVERIFY(host.waitFor("CMD_playerdisconnected+3+Green"));
    QVERIFY(blue.waitFor("CMD_playerdisconnected+3+Green"));
    QVERIFY(!t.server.player(3).connected);
    QCOMPARE(t.server.player(3).name, QByteArray());
    // Targets outside 1..9 are ignored.
    host.send("CMD_kickhim+1+10+");
    host.send("CMD_kickhim+1+0+");
    QVERIFY(t.settle());
    QVERIFY(t.server.player(1).connected && t.server.player(2).connected);
}

void SessionTests::departuresAreToldOnce()
{
    Table t;
    TestClient &host = t.join("Red");
    TestClient &blue = t.join("Blue");
    QVERIFY(host.waitFor("CMD_newplayerinfo+2+Blue"));
    t.server.player(2).total = 55;
    blue.sock.disconnectFromHost();
    QVERIFY(host.waitFor("CMD_playerdisconnected+2+Blue"));
    QTest::qWait(50);
    // The peer close reports "Socket Closed" twice; the second changes nothing.
    QCOMPARE(host.count("CMD_playerdisconnected+2+Blue"), 1);
    QVERIFY(blue.withPrefix("CMD_playerdisconnected").isEmpty());
    QVERIFY(!t.server.player(2).watching);
    // A newcomer in the same seat inherits the leaver's total.
    TestClient &gold = t.join("Gold");
    QCOMPARE(gold.waitForSlot(), 2);
    QCOMPARE(t.server.player(2).total, 55);
}

void SessionTests::resetConnectionFreesTheSlot()
{
    Table t;
    TestClient &host = t.join("Red");
    TestClient &blue = t.join("Blue");
    QVERIFY(host.waitFor("CMD_newplayerinfo+2+Blue"));
    // A connection reset (no orderly close) frees the slot all the same.
    const linger hard{1, 0};
    QCOMPARE(::setsockopt(int(blue.sock.socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard), 0);
    blue.sock.abort();
    QVERIFY(host.waitFor("CMD_playerdisconnected+2+Blue"));
    QVERIFY(!t.server.player(2).connected);
    TestClient &gold = t.join("Gold");
    QCOMPARE(gold.waitForSlot(), 2);
}

void SessionTests::relays()
{
    Table t;
    TestClient &host = t.join("Red");
    TestClient &blue = t.join("Blue");
    QVERIFY(host.waitFor("CMD_newplayerinfo+2+Blue"));
    blue.send("CMD_chat+2+a+b c|clRed");
    blue.send("CMD_action+2+waves|$00FF0000");
    blue.send("CMD_playasound+2+wave7+");
    blue.send("CMD_chat+2+no colour");
    for (TestClient *c : {&host, &blue}) {
        QVERIFY(c->waitFor("CMD_chat+Blue chats: a+b c|clRed"));
        QVERIFY(c->waitFor("CMD_action+Blue waves|$00FF0000"));
        QVERIFY(c->waitFor("CMD_playasound+2+wave7+"));
        QVERIFY(c->waitFor("CMD_chat+Blue chats: no colour"));
    }
}

void SessionTests::watching()
{
    Table t;
    TestClient &host = t.join("Red");
    TestClient &blue = t.join("Blue");
    QVERIFY(host.waitFor("CMD_newplayerinfo+2+Blue"));
    // Sitting out needs a running game.
    blue.send("CMD_justwatch+2+1");
    QVERIFY(t.settle());
    QTest::qWait(30);
    QVERIFY(host.withPrefix("CMD_justwatching").isEmpty());
    QVERIFY(!t.server.player(2).watching);
    // Playing again is always told to everyone.
    blue.send("CMD_justwatch+2+2");
    QVERIFY(host.waitFor("CMD_justwatching+2+2"));
    QVERIFY(blue.waitFor("CMD_justwatching+2+2"));
    // The host may set any seat; a seat outside 1..6 is ignored.
    host.send("CMD_justwatch+2+2");
    host.send("CMD_justwatch+7+2");
    QVERIFY(t.settle());
    QTRY_COMPARE(blue.count("CMD_justwatching+2+2"), 2);
    QVERIFY(!blue.got.contains("CMD_justwatching+7+2"));
}

void SessionTests::senderSlotIsAuthoritative()
{
    Table t;
    TestClient &host = t.join("Red");
    TestClient &blue = t.join("Blue");
    t.join("Green");
    QVERIFY(host.waitFor("CMD_newplayerinfo+3+Green"));
    // Blue speaks, watches and plays sounds only as itself.
    blue.send("CMD_chat+1+I am the host|clRed");
    blue.send("CMD_action+3+is fooled|clRed");
    blue.send("CMD_playasound+1+wave1+");
    blue.send("CMD_justwatch+3+2");
    blue.send("CMD_logininfo+3+1.0.3+Renamed");
    blue.send("CMD_startgame+Blue+5+60+");
    blue.send("CMD_chat+2+mine|clRed");
    QVERIFY(host.waitFor("CMD_chat+Blue chats: mine|clRed"));
    QVERIFY(host.withPrefix("CMD_chat+Red").isEmpty());
    QVERIFY(host.withPrefix("CMD_action").isEmpty());
    QVERIFY(host.withPrefix("CMD_playasound").isEmpty());
    QVERIFY(host.withPrefix("CMD_justwatching").isEmpty());
    QVERIFY(host.withPrefix("CMD_startgame").isEmpty());
    QVERIFY(!t.server.gameInProgress());
    QCOMPARE(t.server.player(3).name, QByteArray("Green"));
    QVERIFY(!host.got.contains("CMD_newplayerinfo+3+Renamed"));
}

void SessionTests::badInputLeavesTheServerServing()
{
    Table t;
    TestClient &host = t.join("Red");
    TestClient &bad = t.join("Mallory");
    QVERIFY(host.waitFor("CMD_newplayerinfo+2+Mallory"));
    bad.send("CMD_chat+x+not a number|clRed");
    bad.send("CMD_kickhim+one+1+");
    bad.send("CMD_justwatch++1");
    bad.send("CMD_logininfo+99999999999+1.0.3+X");
    bad.send("CMD_nonsense+1+2+");
    bad.send("no plus at all");
    bad.sendRaw("\xff\xff\xff");
    bad.send("+");
    bad.send("CMD_chat");
    // A megabyte without a terminator is cut to 4096 bytes.
    bad.sendRaw("CMD_chat+2+" + QByteArray(1024 * 1024, 'z'));
    bad.sendRaw("\xff");
    bad.send("CMD_chat+2+after|clBlack");
    QVERIFY(host.waitFor("CMD_chat+Mallory chats: after|clBlack", 5000));
    const QList<QByteArray> chats = host.withPrefix("CMD_chat+Mallory chats: zz");
    QCOMPARE(chats.size(), 1);
    QCOMPARE(chats.first().size(), qsizetype(4096 - 11 + QByteArray("CMD_chat+Mallory chats: ").size()));
    QVERIFY(t.server.player(1).connected && t.server.player(2).connected);
    // The host is still served.
    host.send("CMD_chat+1+fine|clBlack");
    QVERIFY(bad.waitFor("CMD_chat+Red chats: fine|clBlack"));
}

void SessionTests::floodingConnectionIsDropped()
{
    Table t;
    TestClient &host = t.join("Red");
    TestClient &flood = t.join("Flood");
    QVERIFY(host.waitFor("CMD_newplayerinfo+2+Flood"));
    QByteArray burst;
    for (int i = 0; i < 500; ++i)
        burst += frame("CMD_chat+2+spam|clRed");
    flood.sendRaw(burst);
    QTRY_VERIFY(flood.closed);
    QVERIFY(host.waitFor("CMD_playerdisconnected+2+Flood"));
    QVERIFY(t.settle());
    // Nothing of the dropped connection is left to handle.
    QVERIFY(host.count("CMD_chat+Flood chats: spam|clRed") <= 100);
    host.send("CMD_chat+1+ok|clBlack");
    QVERIFY(host.waitFor("CMD_chat+Red chats: ok|clBlack"));
}

void SessionTests::idleServerDoesNotTick()
{
    Table t;
    QVERIFY(!t.server.socktimerActive());
    TestClient &host = t.join("Red");
    QVERIFY(host.waitFor("CMD_newplayerinfo+1+Red"));
    QTRY_VERIFY(!t.server.socktimerActive());
    QVERIFY(!t.server.timer1Active());
    // Messages that arrive together are handled in order, and the timer stops
    // again once the queue is empty.
    host.sendRaw(frame("CMD_chat+1+a|x") + frame("CMD_chat+1+b|x") + frame("CMD_chat+1+c|x"));
    QVERIFY(host.waitFor("CMD_chat+Red chats: c|x"));
    QCOMPARE(host.withPrefix("CMD_chat+"), (QList<QByteArray>{"CMD_chat+Red chats: a|x", "CMD_chat+Red chats: b|x",
                                                               "CMD_chat+Red chats: c|x"}));
    QTRY_VERIFY(!t.server.socktimerActive());
}

QTEST_GUILESS_MAIN(SessionTests)
#include "tst_session.moc"
