// vexlo-server --tables: its bad values, one table as the server always was,
// and computer players that stay at their own table. Loopback only.
#include "catalogue.h"
#include "lobby.h"
#include "serverprogram.h"
#include "testclient.h"

#include <QProcess>
#include <QTest>

#include <memory>

using namespace vexlo;

namespace {

// The server's computer players on a quick clock.
QProcessEnvironment quickBots()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VEXLO_BOT_SECOND_MS"), QStringLiteral("5"));
    return env;
}

} // namespace

class TablesProgramTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void badTableCountsExitTwo();
    void oneTableIsTheServerItWas();
    void computerPlayersStayAtTheirTable();
};

void TablesProgramTests::badTableCountsExitTwo()
{
    for (const char *bad : {"0", "10001", "two", "-3"}) {
        QProcess p;
        p.start(QStringLiteral(VEXLO_SERVER_BIN), {QStringLiteral("--tables"), QString::fromLatin1(bad)});
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(p.readAllStandardError().contains("--tables takes a number from 1 to 10000, not: '"
                                                  + QByteArray(bad) + "'"));
    }
}

void TablesProgramTests::oneTableIsTheServerItWas()
{
    // Slot 4 in a running game, the tenth connection full: the single table's
    // conversation; lobby requests are answered for its one table.
    ServerProgram server({QStringLiteral("--tables"), QStringLiteral("1"), QStringLiteral("--quiet")}, quickBots());
    QVERIFY(server.port != 0);
    std::vector<std::unique_ptr<TestClient>> clients;
    for (int i = 1; i <= 9; ++i) {
        clients.push_back(std::make_unique<TestClient>(server.port));
        QCOMPARE(clients.back()->login("P" + QByteArray::number(i)), i);
        if (i == 3) {
            clients[0]->send(msg::startgame("P1", "1", "60"));
            QVERIFY(clients[0]->waitFor("CMD_startround+1+"));
        }
    }
    TestClient tenth(server.port);
    QVERIFY(tenth.waitFor("CMD_full+"));
    clients[8]->send(msg::tables());
    clients[8]->send(msg::newtable());
    clients[8]->send(msg::chat(9, "done", "clBlack"));
    QVERIFY(clients[8]->waitForPrefix("CMD_chat+P9 chats: done").size() > 0);
    QVERIFY(clients[8]->waitFor("CMD_tablelist+1+1"));
    QVERIFY(clients[8]->waitFor("CMD_lobbyerror+Leave the game first: it is still running at your table."));
    QVERIFY(clients[8]->withPrefix("CMD_seated").isEmpty());
    QVERIFY(clients[0]->withPrefix("CMD_table").isEmpty());
}

void TablesProgramTests::computerPlayersStayAtTheirTable()
{
    ServerProgram server({QStringLiteral("--tables"), QStringLiteral("4"), QStringLiteral("--bots"), QStringLiteral("1")}, quickBots());
    QVERIFY(server.port != 0);
    TestClient red(server.port);
    QCOMPARE(red.login("Red"), 1);
    const QByteArray redBot = red.waitForPrefix("CMD_newplayerinfo+2+");
    QVERIFY(redBot.endsWith(kComputerMark));
    TestClient blue(server.port);
    QVERIFY(blue.waitForSlot() > 0);
    blue.send(msg::newtable());
    QVERIFY(blue.waitFor("CMD_seated+2+1"));
    blue.send(msg::logininfo(1, kGameVersion, "Blue"));
    const QByteArray blueBot = blue.waitForPrefix("CMD_newplayerinfo+2+");
    QVERIFY(blueBot.endsWith(kComputerMark));
    QVERIFY(blueBot != redBot);
    QVERIFY(server.logged("127.0.0.1 table 2 slot 1 arrived: \"Blue\""));

    // Red goes, and its computer player with it; Blue's stays.
    red.sock.disconnectFromHost();
    QVERIFY(server.logged("table 1 closed"));
    blue.send(msg::chat(1, "still two", "clBlack"));
    QVERIFY(blue.waitForPrefix("CMD_chat+Blue chats: still two").size() > 0);
    QVERIFY(blue.withPrefix("CMD_playerdisconnected").isEmpty());
    QVERIFY(!blue.got.join().contains("Red"));
}

QTEST_GUILESS_MAIN(TablesProgramTests)
#include "tst_tablesprogram.moc"
