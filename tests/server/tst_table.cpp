// The player table on the rules: logins, removals, watching, relays, and the
// sender's own slot as the only one it may speak for.
#include "gametable.h"

#include <QTest>

using namespace vexlo;

class TableTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void slotsFillLowestFirstAndAreReused();
    void loginAnnouncesEveryone();
    void wrongVersionIsToldButKept();
    void removalByTheHostOnly();
    void departuresKeepTheTotal();
    void relays();
    void watching();
    void senderSlotIsAuthoritative();
    void numbersThatAreNotNumbers();
};

void TableTests::slotsFillLowestFirstAndAreReused()
{
    GameTable g;
    QCOMPARE(g.join("Red"), 1);
    QCOMPARE(g.got(1).first(), QByteArray("CMD_sendlogininfo+1"));
    QCOMPARE(g.join("Blue"), 2);
    QCOMPARE(g.join("Green"), 3);
    g.leave(2);
    QCOMPARE(g.join("Gold"), 2);
    QCOMPARE(g.rules.highestSlot(), 3);
    // Seats fill before spy slots; a tenth connection finds no slot.
    for (int s = 4; s <= 9; ++s)
        QCOMPARE(g.join(), s);
    QCOMPARE(g.rules.slotForNewcomer(), kMaxSlots + 1);
    g.leave(5);
    QCOMPARE(g.rules.slotForNewcomer(), 5);
}

void TableTests::loginAnnouncesEveryone()
{
    GameTable g;
    g.join("Red");
    QCOMPARE(g.join(), 2); // connected but not logged in yet
    QCOMPARE(g.join("Blue+Co"), 3);
    for (int s = 1; s <= 3; ++s)
        QVERIFY(g.got(s).contains("CMD_newplayerinfo+3+Blue+Co"));
    // The newcomer hears of every other connection, named or not, in slot order.
    QCOMPARE(g.got(3), (QList<QByteArray>{"CMD_sendlogininfo+3", "CMD_newplayerinfo+3+Blue+Co",
                                          "CMD_existingplayers+1+Red", "CMD_existingplayers+2+"}));
    QCOMPARE(g.rules.player(3).name, QByteArray("Blue+Co"));
    QVERIFY(g.withPrefix(1, "CMD_existingplayers").isEmpty());
    QCOMPARE(g.notes, (QList<Outgoing>{{Outgoing::Kind::Arrived, 1, "Red"}, {Outgoing::Kind::Arrived, 3, "Blue+Co"}}));
}

void TableTests::wrongVersionIsToldButKept()
{
    GameTable g;
    g.join("Red");
    g.join("Oldie", "1.0.2");
    QVERIFY(g.got(1).endsWith("CMD_havewrongversion+Oldie"));
    QVERIFY(g.got(2).endsWith("CMD_wrongversion+"));
    QVERIFY(g.got(2).contains("CMD_newplayerinfo+2+Oldie"));
    QVERIFY(g.withPrefix(1, "CMD_wrongversion").isEmpty());
    g.send(2, msg::chat(2, "hi", "clBlack"));
    QVERIFY(g.got(1).endsWith("CMD_chat+Oldie chats: hi|clBlack"));
}

void TableTests::removalByTheHostOnly()
{
    GameTable g;
    g.join("Red");
    g.join("Blue");
    g.join("Green");
    g.send(2, "CMD_kickhim+2+3+");
    g.send(2, "CMD_kickhim+1+3+"); // pretends to be the host
    g.send(1, "CMD_kickhim+1+10+");
    g.send(1, "CMD_kickhim+1+0+");
    g.send(1, "CMD_kickhim+1+8+"); // nobody there
    QVERIFY(g.rules.player(3).connected);
    QCOMPARE(g.notes.size(), 3); // the three arrivals

    g.send(1, "CMD_kickhim+1+3+");
    QCOMPARE(g.notes.last(), (Outgoing{Outgoing::Kind::Close, 3, {}}));
    QVERIFY(g.got(1).endsWith("CMD_playerdisconnected+3+Green"));
    QVERIFY(g.got(2).endsWith("CMD_playerdisconnected+3+Green"));
    QVERIFY(!g.rules.player(3).connected);
    QCOMPARE(g.rules.player(3).name, QByteArray());
}

void TableTests::departuresKeepTheTotal()
{
    GameTable g;
    g.join("Red");
    g.join("Blue");
    g.rules.player(2).total = 55;
    g.send(1, "CMD_justwatch+2+2");
    g.leave(2);
    QVERIFY(g.got(1).endsWith("CMD_playerdisconnected+2+Blue"));
    g.leave(2); // told once
    QCOMPARE(g.withPrefix(1, "CMD_playerdisconnected").size(), 1);
    QVERIFY(!g.rules.player(2).watching);
    // A newcomer in the same seat inherits the leaver's total.
    QCOMPARE(g.join("Gold"), 2);
    QCOMPARE(g.rules.player(2).total, 55);
}

void TableTests::relays()
{
    GameTable g;
    g.join("Red");
    g.join("Blue");
    g.send(2, "CMD_chat+2+a+b c|clRed");
    g.send(2, "CMD_action+2+waves|$00FF0000");
    g.send(2, "CMD_playasound+2+wave7+");
    g.send(2, "CMD_chat+2+no colour");
    const QList<QByteArray> relayed{"CMD_chat+Blue chats: a+b c|clRed", "CMD_action+Blue waves|$00FF0000",
                                    "CMD_playasound+2+wave7+", "CMD_chat+Blue chats: no colour"};
    QCOMPARE(g.got(1).mid(g.got(1).size() - 4), relayed);
    QCOMPARE(g.got(2).mid(g.got(2).size() - 4), relayed);
}

void TableTests::watching()
{
    GameTable g;
    g.join("Red");
    g.join("Blue");
    // Sitting out needs a running game.
    g.send(2, "CMD_justwatch+2+1");
    QVERIFY(g.withPrefix(1, "CMD_justwatching").isEmpty());
    QVERIFY(!g.rules.player(2).watching);
    // Playing again is always told to everyone.
    g.send(2, "CMD_justwatch+2+2");
    QVERIFY(g.got(1).endsWith("CMD_justwatching+2+2"));
    QVERIFY(g.got(2).endsWith("CMD_justwatching+2+2"));
    // The host may set any seat; a seat outside 1..6 is ignored.
    g.send(1, "CMD_justwatch+2+2");
    g.send(1, "CMD_justwatch+7+2");
    QCOMPARE(g.withPrefix(2, "CMD_justwatching"), (QList<QByteArray>{"CMD_justwatching+2+2", "CMD_justwatching+2+2"}));
    g.send(1, "CMD_startgame+Red+5+60+");
    g.send(1, "CMD_justwatch+2+1");
    QVERIFY(g.rules.player(2).watching);
    QVERIFY(g.got(2).endsWith("CMD_justwatching+2+1"));
}

void TableTests::senderSlotIsAuthoritative()
{
    GameTable g;
    g.join("Red");
    g.join("Blue");
    g.join("Green");
    const qsizetype before = g.got(1).size();
    // Blue speaks, watches, logs in and starts games only as itself.
    g.send(2, "CMD_chat+1+I am the host|clRed");
    g.send(2, "CMD_action+3+is fooled|clRed");
    g.send(2, "CMD_playasound+1+wave1+");
    g.send(2, "CMD_justwatch+3+2");
    g.send(2, "CMD_logininfo+3+1.0.3+Renamed");
    g.send(2, "CMD_startgame+Blue+5+60+");
    QCOMPARE(g.got(1).size(), before);
    QVERIFY(!g.rules.gameInProgress());
    QCOMPARE(g.rules.player(3).name, QByteArray("Green"));
    g.send(2, "CMD_chat+2+mine|clRed");
    QCOMPARE(g.got(1).mid(before), QList<QByteArray>{"CMD_chat+Blue chats: mine|clRed"});
}

void TableTests::numbersThatAreNotNumbers()
{
    GameTable g;
    g.join("Red");
    g.join("Mallory");
    const qsizetype before = g.got(1).size();
    for (const char *m : {"CMD_chat+x+not a number|clRed", "CMD_kickhim+one+1+", "CMD_justwatch++1",
                          "CMD_logininfo+99999999999+1.0.3+X", "CMD_nonsense+1+2+", "no plus at all", "", "+",
                          "CMD_chat", "CMD_myword+2+1+x+2+1+3+1+4+1+5+1"})
        g.send(2, m);
    QCOMPARE(g.got(1).size(), before);
    QVERIFY(g.rules.player(1).connected && g.rules.player(2).connected);
    g.send(2, "CMD_chat+2+after|clBlack");
    QVERIFY(g.got(1).endsWith("CMD_chat+Mallory chats: after|clBlack"));
}

QTEST_GUILESS_MAIN(TableTests)
#include "tst_table.moc"
