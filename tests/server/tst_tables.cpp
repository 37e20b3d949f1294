// Many tables on one port: placement without sockets (TableLobby), then the
// server over loopback: tables that never hear of each other, the lobby
// messages with their pushed changes, and the limits against abuse.
#include "catalogue.h"
#include "epolldispatcher.h"
#include "lobby.h"
#include "tableserver.h"
#include "testclient.h"

#include <QTest>
#include <memory>

using namespace vexlo;

namespace {

struct Tables
{
    TableServer server;
    std::vector<std::unique_ptr<TestClient>> clients;

    explicit Tables(int most) : server(most) { server.startListening(QStringLiteral("0")); }

    // Connects a client and, when name is given, logs it in where it was placed.
    TestClient &join(const QByteArray &name = {})
    {
        clients.push_back(std::make_unique<TestClient>(server.listeningPort()));
        TestClient &c = *clients.back();
        if (name.isEmpty())
            c.waitForSlot();
        else
            c.login(name);
        return c;
    }
    // Asks for the place, waits for it and logs in there; the slot (0: refused).
    static int take(TestClient &c, const QByteArray &request, const QByteArray &name)
    {
        c.got.clear();
        c.send(request);
        const QByteArray seated = c.waitForPrefix("CMD_seated+");
        if (seated.isEmpty() || c.waitForPrefix("CMD_sendlogininfo+").isEmpty())
            return 0;
        c.slot = seated.split('+').at(2).toInt();
        c.send(msg::logininfo(c.slot, kGameVersion, name));
        return c.slot;
    }
};

bool heardOf(const TestClient &c, const QByteArray &text)
{
    for (const QByteArray &m : c.got)
        if (m.contains(text))
            return true;
    return false;
}

} // namespace

class TablesTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void placementFillsTheFullestTableThenOpensOne();
    void tablesEndWithTheirLastConnection();
    void tablesNeverHearOfEachOther();
    void lobbyListsPushesSeatsAndRefuses();
    void limitsAgainstAbuse();
};

void TablesTests::placementFillsTheFullestTableThenOpensOne()
{
    TableLobby lobby(2);
    for (quint64 c = 1; c <= 6; ++c) {
        const auto p = lobby.placeNewcomer(c);
        QCOMPARE(p.table, 1);
        QCOMPARE(p.slot, int(c));
    }
    // No free seat at table 1: a new table, in slot 1.
    auto p = lobby.placeNewcomer(7);
    QCOMPARE(p.table, 2);
    QCOMPARE(p.slot, 1);
    // A game runs at table 2 and both tables are open: the newcomer watches the
    // fullest table that has a watcher slot.
    lobby.table(2)->rules.receive(1, msg::startgame("Blue", "1", "60"));
    lobby.refresh(2);
    p = lobby.placeNewcomer(8);
    QCOMPARE(p.table, 1);
    QCOMPARE(p.slot, 7);
    // A seat freed at table 1 is the lowest free seat for the next one.
    lobby.leave(1, 3);
    p = lobby.placeNewcomer(9);
    QCOMPARE(p.table, 1);
    QCOMPARE(p.slot, 3);
    // Every watcher slot taken, at both tables: no place.
    for (quint64 c = 10; c <= 14; ++c)
        QVERIFY(lobby.placeNewcomer(c).table != 0);
    QCOMPARE(lobby.placeNewcomer(15).table, 0);

    // Ties go to the oldest table, whatever its number.
    TableLobby ties(3);
    TableLobby::Refusal why{};
    QCOMPARE(ties.openTable(1, &why).table, 1);
    QCOMPARE(ties.openTable(2, &why).table, 2);
    ties.leave(1, 1);
    QCOMPARE(ties.sweep(), QList<int>{1});
    QCOMPARE(ties.openTable(3, &why).table, 1); // number 1 again, but younger than table 2
    QCOMPARE(ties.placeNewcomer(4).table, 2);
}

void TablesTests::tablesEndWithTheirLastConnection()
{
    TableLobby lobby(3);
    TableLobby::Refusal why{};
    QCOMPARE(lobby.openTable(1, &why).table, 1);
    QCOMPARE(lobby.sit(2, 1, &why).slot, 2);
    lobby.setLoggedIn(1, 1, true);
    lobby.table(1)->rules.player(1).name = "Red";
    (void)lobby.table(1)->rules.takeOutbox();
    // One who never logged in goes unheard; a player's going is told.
    lobby.leave(1, 2);
    QVERIFY(lobby.table(1)->rules.takeOutbox().isEmpty());
    QCOMPARE(lobby.sit(2, 1, &why).slot, 2);
    (void)lobby.table(1)->rules.takeOutbox();
    lobby.leave(1, 1);
    QCOMPARE(lobby.table(1)->rules.takeOutbox(),
             (QList<Outgoing>{{Outgoing::Kind::Send, 2, msg::playerdisconnected(1, "Red")}}));
    QCOMPARE(lobby.tableCount(), 1);
    lobby.leave(1, 2);
    QVERIFY(!lobby.table(1));
    QCOMPARE(lobby.tableCount(), 0);
    QCOMPARE(lobby.sit(3, 1, &why).table, 0);
    QCOMPARE(why, TableLobby::Refusal::NoSuchTable);
    QCOMPARE(lobby.sweep(), QList<int>{1});
    QVERIFY(lobby.tables().empty());
    // All tables open: no new one.
    for (quint64 c = 1; c <= 3; ++c)
        QCOMPARE(lobby.openTable(c, &why).table, int(c));
    QCOMPARE(lobby.openTable(4, &why).table, 0);
    QCOMPARE(why, TableLobby::Refusal::AllTablesOpen);
}

void TablesTests::tablesNeverHearOfEachOther()
{
    Tables t(3);
    TestClient &red = t.join("Red");
    TestClient &yellow = t.join("Yellow");
    QVERIFY(red.waitFor("CMD_newplayerinfo+2+Yellow"));
    TestClient &blue = t.join();
    QCOMPARE(Tables::take(blue, msg::newtable(), "Blue"), 1);
    TestClient &green = t.join();
    QCOMPARE(Tables::take(green, msg::sit(2), "Green"), 2);
    QVERIFY(blue.waitFor("CMD_newplayerinfo+2+Green"));

    red.send(msg::chat(1, "hello one", "clBlack"));
    blue.send(msg::chat(1, "hello two", "clBlack"));
    QVERIFY(yellow.waitForPrefix("CMD_chat+Red chats: hello one").size() > 0);
    QVERIFY(green.waitForPrefix("CMD_chat+Blue chats: hello two").size() > 0);
    red.send(msg::startgame("Red", "1", "60"));
    QVERIFY(yellow.waitFor("CMD_startround+1+"));
    QCOMPARE(t.server.lobby().table(1)->rules.gameInProgress(), true);
    QCOMPARE(t.server.lobby().table(2)->rules.gameInProgress(), false);
    // The host of table 1 removes its slot 2; table 2's slot 2 stays.
    red.send(msg::kickhim(1, 2));
    QTRY_VERIFY(yellow.closed);
    blue.send(msg::chat(1, "still here?", "clBlack"));
    QVERIFY(green.waitForPrefix("CMD_chat+Blue chats: still here?").size() > 0);
    QVERIFY(!green.closed);

    for (const TestClient *c : {&blue, &green})
        for (const char *other : {"Red", "Yellow", "hello one", "CMD_startround", "CMD_playerdisconnected"})
            QVERIFY2(!heardOf(*c, other), other);
    for (const TestClient *c : {&red, &yellow})
        for (const char *other : {"Blue", "Green", "hello two"})
            QVERIFY2(!heardOf(*c, other), other);
}

void TablesTests::lobbyListsPushesSeatsAndRefuses()
{
    Tables t(2);
    TestClient &red = t.join("Red");
    QVERIFY(red.waitFor("CMD_newplayerinfo+1+Red"));
    // Someone who only looks leaves the slot it was placed in, unheard.
    TestClient &looker = t.join();
    QCOMPARE(looker.slot, 2);
    looker.send(msg::tables());
    QVERIFY(looker.waitFor("CMD_tablelist+1+2"));
    QVERIFY(looker.waitFor("CMD_table+1+0+0+0+1+0+0"));
    QVERIFY(looker.waitFor("CMD_tableplayer+1+1+0+Red"));
    QTRY_COMPARE(t.server.lobby().table(1)->seated, 1);

    // Changes are pushed: an arrival, a computer player, a game.
    TestClient &bot = t.join("Ada (bot)");
    QVERIFY(looker.waitFor("CMD_tableplayer+1+2+1+Ada (bot)"));
    QVERIFY(looker.waitFor("CMD_table+1+0+0+0+2+0+1"));
    red.send(msg::startgame("Red", "3", "60"));
    QVERIFY(looker.waitFor("CMD_table+1+1+1+3+2+0+1"));

    // Refusals are said, and change nothing.
    looker.send(msg::sit(7));
    QVERIFY(looker.waitFor("CMD_lobbyerror+There is no table 7."));
    bot.send(msg::newtable());
    QVERIFY(bot.waitFor("CMD_lobbyerror+Leave the game first: it is still running at your table."));

    // Watching a table with a game, then a new table.
    TestClient &eye = t.join();
    QCOMPARE(eye.slot, 1); // table 1 plays: a new table, in slot 1
    QCOMPARE(t.server.lobby().tableCount(), 2);
    QCOMPARE(Tables::take(eye, msg::watch(1), "Eye"), 7);
    QVERIFY(looker.waitFor("CMD_tableplayer+1+7+0+Eye"));
    QVERIFY(looker.waitFor("CMD_tableclosed+2")); // the table eye left behind
    QCOMPARE(Tables::take(looker, msg::newtable(), "Blue"), 1);
    QVERIFY(looker.waitFor("CMD_newplayerinfo+1+Blue"));
    TestClient &late = t.join();
    late.send(msg::newtable());
    QVERIFY(late.waitFor("CMD_lobbyerror+All 2 tables of this server are in use."));

    // What a client builds from the messages is the server's own summary.
    TestClient &browser = t.join();
    browser.send(msg::tables());
    QVERIFY(browser.waitForPrefix("CMD_tableplayer+2+1").size() > 0);
    TableDirectory directory;
    for (const QByteArray &m : browser.got)
        (void)directory.apply(m);
    QCOMPARE(directory.tables().size(), 2);
    QCOMPARE(directory.tables().value(1), t.server.lobby().info(*t.server.lobby().table(1)));
    QCOMPARE(directory.tables().value(1).hostName(), QByteArray("Red"));
    QCOMPARE(directory.tables().value(2).people, (QList<TablePerson>{{1, false, "Blue"}}));
}

void TablesTests::limitsAgainstAbuse()
{
    Tables t(5);
    t.server.limits().trustLoopback = false;
    t.server.limits().connectionsPerAddress = 2;
    t.server.limits().newTablesPerMinute = 1;
    t.server.limits().lobbyRequestsPerSecond = 3;
    TestClient &a = t.join();
    TestClient &b = t.join();
    t.clients.push_back(std::make_unique<TestClient>(t.server.listeningPort()));
    TestClient &c = *t.clients.back();
    QVERIFY(c.waitFor("CMD_lobbyerror+Too many connections from your address."));
    QTRY_VERIFY(c.closed);
    QCOMPARE(c.got.size(), 1);

    QCOMPARE(Tables::take(a, msg::newtable(), "A"), 1);
    a.send(msg::newtable());
    QVERIFY(a.waitFor("CMD_lobbyerror+Too many new tables from your address: wait a minute."));

    b.sendRaw(frame(msg::tables()).repeated(6));
    QVERIFY(b.waitFor("CMD_lobbyerror+Too many requests: wait a second."));
    QCOMPARE(b.count("CMD_lobbyerror+Too many requests: wait a second."), 1);
    QCOMPARE(b.withPrefix("CMD_tablelist+").size(), 3);

    // A connection gone makes room for the next one from the address.
    b.sock.disconnectFromHost();
    QTRY_COMPARE(t.server.connectionCount(), 1);
    TestClient &d = t.join();
    QVERIFY(d.slot > 0);
    // Nobody types: nothing is scheduled, the server sleeps.
    QTRY_COMPARE(t.server.pendingDeadlines(), std::size_t(0));
}

// The tests run on the event loop the many-table server runs on.
int main(int argc, char *argv[])
{
    QCoreApplication::setEventDispatcher(new EpollDispatcher);
    QCoreApplication app(argc, argv);
    TablesTests tests;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tests, argc, argv);
}
#include "tst_tables.moc"
