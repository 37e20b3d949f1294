// The lobby messages as a server of one table answers them, over loopback: its
// list and the changes pushed after it, sitting and watching there, the
// refusals, and a looker's slot given back to the table.
#include "catalogue.h"
#include "lobby.h"
#include "onetablelobby.h"
#include "servedtable.h"
#include "tserver.h"

#include <QTest>

#include <memory>

using namespace vexlo;

namespace {

using Table = ServedTable;

// What a client lists of the server, from every lobby message it received.
TableDirectory listed(const TestClient &c)
{
    TableDirectory d;
    for (const QByteArray &m : c.got)
        d.apply(m);
    return d;
}

} // namespace

class OneTableTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void listGivesBackTheSlotAndPushesChanges();
    void sitAndWatchPlaceTheConnection();
    void refusalsInWords();
    void aLaterListenerHearsEveryChange();
};

void OneTableTests::listGivesBackTheSlotAndPushesChanges()
{
    Table t;
    TestClient &ann = t.join("Ann");
    QVERIFY(ann.waitFor("CMD_newplayerinfo+1+Ann"));
    TestClient &looker = t.join();
    QCOMPARE(looker.waitForSlot(), 2);
    looker.send(msg::tables());
    QVERIFY(looker.waitFor("CMD_tablelist+1+1"));
    QVERIFY(looker.waitFor("CMD_table+1+0+0+0+1+0+0"));
    QVERIFY(looker.waitFor("CMD_tableplayer+1+1+0+Ann"));

    // The looker gave its slot back unheard of: the next newcomer takes it.
    TestClient &bot = t.join();
    QCOMPARE(bot.login("Bo" + QByteArray(kComputerMark)), 2);
    QVERIFY(looker.waitFor("CMD_tableplayer+1+2+1+Bo (bot)"));
    QCOMPARE(listed(looker).tables().value(1).computers, 1);
    QCOMPARE(listed(looker).tables().value(1).seated, 2);
    QVERIFY(ann.withPrefix("CMD_playerdisconnected").isEmpty());
    QVERIFY(ann.withPrefix("CMD_table").isEmpty());

    // A game pushes its rounds, a departure its seat; the game's messages stay away.
    ann.send(msg::startgame("Ann", "2", "30"));
    QTRY_COMPARE(listed(looker).tables().value(1).state, TableInfo::State::Playing);
    QCOMPARE(listed(looker).tables().value(1).rounds, 2);
    bot.sock.disconnectFromHost();
    QTRY_COMPARE(listed(looker).tables().value(1).seated, 1);
    QCOMPARE(listed(looker).tables().value(1).people.size(), 1);
    QVERIFY(looker.withPrefix("CMD_startround").isEmpty());
    QVERIFY(looker.withPrefix("CMD_playerdisconnected").isEmpty());
    QVERIFY(looker.withPrefix("CMD_newplayerinfo").isEmpty());

    // A logged-in player may follow the list too, and keeps its seat.
    ann.send(msg::tables());
    QVERIFY(ann.waitFor("CMD_tablelist+1+1"));
    ann.send(msg::chat(1, "still here", "clBlack"));
    QVERIFY(ann.waitForPrefix("CMD_chat+Ann chats: still here").size() > 0);
}

void OneTableTests::sitAndWatchPlaceTheConnection()
{
    Table t;
    TestClient &ann = t.join("Ann");
    TestClient &cy = t.join("Cy");
    QVERIFY(cy.waitFor("CMD_newplayerinfo+2+Cy"));

    // From aside: the lowest free watcher slot, then its login as a newcomer's.
    TestClient &watcher = t.join();
    QCOMPARE(watcher.waitForSlot(), 3);
    watcher.send(msg::tables());
    QVERIFY(watcher.waitFor("CMD_tablelist+1+1"));
    watcher.send(msg::watch(1));
    QVERIFY(watcher.waitFor("CMD_seated+1+7"));
    QVERIFY(watcher.waitFor("CMD_sendlogininfo+7"));
    QVERIFY(watcher.got.indexOf("CMD_seated+1+7") < watcher.got.indexOf("CMD_sendlogininfo+7"));
    watcher.send(msg::logininfo(7, kGameVersion, "Wes"));
    QVERIFY(ann.waitFor("CMD_newplayerinfo+7+Wes"));

    // From a slot, logged in: a departure, then the lowest free seat.
    watcher.send(msg::sit(1));
    QVERIFY(watcher.waitFor("CMD_seated+1+3"));
    QVERIFY(ann.waitForPrefix("CMD_playerdisconnected+7").size() > 0);
    watcher.send(msg::logininfo(3, kGameVersion, "Wes"));
    QVERIFY(ann.waitFor("CMD_newplayerinfo+3+Wes"));
    watcher.send(msg::chat(3, "seated", "clBlack"));
    QVERIFY(cy.waitForPrefix("CMD_chat+Wes chats: seated").size() > 0);

    // The same place again, and a message sent right behind a request follows it.
    watcher.send(msg::sit(1));
    QVERIFY(watcher.waitFor("CMD_seated+1+3"));
    TestClient &quick = t.join();
    QCOMPARE(quick.waitForSlot(), 4);
    quick.sendRaw(frame(msg::watch(1)) + frame(msg::logininfo(7, kGameVersion, "Qi")));
    QVERIFY(ann.waitFor("CMD_newplayerinfo+7+Qi"));
}

void OneTableTests::refusalsInWords()
{
    Table t;
    TestClient &ann = t.join("Ann");
    TestClient &other = t.join();
    QCOMPARE(other.waitForSlot(), 2);
    for (const QByteArray &bad : {msg::sit(2), msg::watch(0), QByteArray("CMD_sit+x"), QByteArray("CMD_watch+")})
        other.send(bad);
    other.send(msg::newtable());
    QVERIFY(other.waitFor("CMD_lobbyerror+All 1 tables of this server are in use."));
    QCOMPARE(other.withPrefix("CMD_lobbyerror+There is no table ").size(), 4);
    QVERIFY(other.waitFor("CMD_lobbyerror+There is no table 2."));
    other.sock.disconnectFromHost();
    QTRY_VERIFY(!t.server.player(2).connected);

    // A flood is told once and dropped.
    TestClient &flood = t.join();
    QCOMPARE(flood.waitForSlot(), 2);
    for (int i = 0; i < 8; ++i)
        flood.send(msg::tables());
    QVERIFY(flood.waitFor("CMD_lobbyerror+Too many requests: wait a second."));
    QTRY_COMPARE(t.server.queueLength(), 0);
    QCOMPARE(flood.count("CMD_lobbyerror+Too many requests: wait a second."), 1);
    QCOMPARE(flood.count("CMD_tablelist+1+1"), OneTableLobby::RequestsPerSecond);
    QVERIFY(!t.server.player(2).connected);

    // Six seats taken: no free seat, a watcher slot still.
    std::vector<TestClient *> seated;
    for (const char *name : {"B", "C", "D", "E", "F"})
        seated.push_back(&t.join(name));
    QVERIFY(seated.back()->waitFor("CMD_newplayerinfo+6+F"));
    TestClient &late = t.join();
    QCOMPARE(late.waitForSlot(), 7);
    late.send(msg::sit(1));
    QVERIFY(late.waitFor("CMD_lobbyerror+Table 1 has no free seat."));
    late.send(msg::watch(1));
    QVERIFY(late.waitFor("CMD_seated+1+7"));

    // While the game runs a player keeps its place.
    ann.send(msg::startgame("Ann", "1", "30"));
    QVERIFY(ann.waitForPrefix("CMD_startround+1+").size() > 0);
    seated.front()->send(msg::watch(1));
    QVERIFY(seated.front()->waitFor("CMD_lobbyerror+Leave the game first: it is still running at your table."));
}

void OneTableTests::aLaterListenerHearsEveryChange()
{
    // The table changes while nobody listens and changes back to what the last
    // listener heard: one who listens meanwhile hears of it all the same.
    Table t;
    TestClient &ann = t.join("Ann");
    TestClient &first = t.join();
    QCOMPARE(first.waitForSlot(), 2);
    first.send(msg::tables());
    QVERIFY(first.waitFor("CMD_tablelist+1+1"));
    first.sock.disconnectFromHost();
    QTRY_COMPARE(t.server.lobby().lookers(), 0);
    auto cy = std::make_unique<TestClient>(t.server.listeningPort());
    cy->login("Cy");
    QVERIFY(ann.waitFor("CMD_newplayerinfo+2+Cy"));
    ann.send(msg::tables());
    QVERIFY(ann.waitFor("CMD_tablelist+1+1"));
    QCOMPARE(listed(ann).tables().value(1).people.size(), 2);
    cy.reset();
    QTRY_COMPARE(listed(ann).tables().value(1).people.size(), 1);
    QCOMPARE(listed(ann).tables().value(1).seated, 1);
}

QTEST_GUILESS_MAIN(OneTableTests)
#include "tst_onetable.moc"
