// The server's connections over loopback: slots, refusals, closings and
// removals with their signals, and its defences against hostile peers.
#include "catalogue.h"
#include "servedtable.h"
#include "tserver.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <sys/socket.h>

using namespace vexlo;

namespace {

using Table = ServedTable;

} // namespace

class SessionTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyAddressAndThePeers();
    void spySlotsAndTheTenthConnection();
    void removalByTheHostOnly();
    void departuresAreToldOnce();
    void resetConnectionFreesTheSlot();
    void badInputLeavesTheServerServing();
    void floodingConnectionIsDropped();
    void idleServerDoesNotTick();
};

void SessionTests::everyAddressAndThePeers()
{
    // By default the server listens on every address, IPv4 and IPv6, and knows
    // each player by the address it came from.
    Table t;
    QSignalSpy arrived(&t.server, &TServer::playerArrived);
    TestClient &host = t.join("Red");
    QVERIFY(host.waitFor("CMD_newplayerinfo+1+Red"));
    t.clients.push_back(std::make_unique<TestClient>(t.server.listeningPort(), QHostAddress::LocalHostIPv6));
    TestClient &six = *t.clients.back();
    QCOMPARE(six.login("Six"), 2);
    QVERIFY(host.waitFor("CMD_newplayerinfo+2+Six"));
    QCOMPARE(arrived, (QList<QList<QVariant>>{{1, QByteArray("Red"), QStringLiteral("127.0.0.1")},
                                              {2, QByteArray("Six"), QStringLiteral("::1")}}));
    QCOMPARE(t.server.peerAddress(2), QStringLiteral("::1"));
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

void SessionTests::removalByTheHostOnly()
{
    Table t;
    QSignalSpy removed(&t.server, &TServer::playerRemoved);
    QSignalSpy left(&t.server, &TServer::playerLeft);
    TestClient &host = t.join("Red");
    TestClient &blue = t.join("Blue");
    TestClient &green = t.join("Green");
    QVERIFY(green.waitFor("CMD_newplayerinfo+3+Green"));
    blue.send("CMD_kickhim+1+3+"); // pretends to be the host
    QVERIFY(t.settle());
    QTest::qWait(50);
    QVERIFY(!green.closed);

    // Removed, then gone: the signals in that order, the others told.
    QObject::connect(&t.server, &TServer::playerRemoved, &t.server, [&] { QCOMPARE(left.size(), 0); });
    host.send("CMD_kickhim+1+3+");
    QTRY_VERIFY(green.closed);
    QVERIFY(host.waitFor("CMD_playerdisconnected+3+Green"));
    QVERIFY(blue.waitFor("CMD_playerdisconnected+3+Green"));
    QVERIFY(!t.server.player(3).connected);
    QVERIFY(t.server.player(3).connection.isNull());
    const QList<QVariant> who{3, QByteArray("Green"), QStringLiteral("127.0.0.1")};
    QCOMPARE(removed, QList<QList<QVariant>>{who});
    QCOMPARE(left, QList<QList<QVariant>>{who});
}

void SessionTests::departuresAreToldOnce()
{
    Table t;
    TestClient &host = t.join("Red");
    TestClient &blue = t.join("Blue");
    QVERIFY(host.waitFor("CMD_newplayerinfo+2+Blue"));
    QSignalSpy left(&t.server, &TServer::playerLeft);
    blue.sock.disconnectFromHost();
    QVERIFY(host.waitFor("CMD_playerdisconnected+2+Blue"));
    QTest::qWait(50);
    // The peer close reports "Socket Closed" twice; the second changes nothing.
    QCOMPARE(host.count("CMD_playerdisconnected+2+Blue"), 1);
    QVERIFY(blue.withPrefix("CMD_playerdisconnected").isEmpty());
    QCOMPARE(left.size(), 1);
    // A connection that never logged in leaves without a departure signal.
    TestClient &anon = t.join();
    QCOMPARE(anon.waitForSlot(), 2);
    anon.sock.disconnectFromHost();
    QVERIFY(host.waitFor("CMD_playerdisconnected+2+"));
    QCOMPARE(left.size(), 1);
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
