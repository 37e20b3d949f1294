// Framing, field reading and the message builders.
#include "catalogue.h"
#include "framing.h"
#include "message.h"

#include <QTest>

using namespace vexlo;

class MessageTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void framingCutsAtEveryTerminator();
    void framingKeepsPendingBytesAcrossReads();
    void framingBoundsOneMessage();
    void commandWordAndArguments();
    void fieldsReadFromTheFront();
    void numbersAreStrict();
    void repeatedGroups();
    void buildersMatchTheExampleExchange();
};

void MessageTests::framingCutsAtEveryTerminator()
{
    MessageFramer f;
    // Two messages in one read, in order.
    QCOMPARE(f.feed("CMD_a+1\xff" "CMD_b+2\xff"), (QList<QByteArray>{"CMD_a+1", "CMD_b+2"}));
    QCOMPARE(f.pendingSize(), 0);
    // Two terminators in a row give an empty entry.
    QCOMPARE(f.feed("\xff\xff"), (QList<QByteArray>{"", ""}));
    // A text holding the character 255 arrives as two messages.
    QCOMPARE(f.feed(frame("CMD_chat+1+caf\xff" "e|clBlack")),
             (QList<QByteArray>{"CMD_chat+1+caf", "e|clBlack"}));
    QCOMPARE(frame("CMD_full+"), QByteArray("CMD_full+\xff"));
}

void MessageTests::framingKeepsPendingBytesAcrossReads()
{
    MessageFramer f;
    QVERIFY(f.feed("CMD_chat+1+hel").isEmpty());
    QCOMPARE(f.pendingSize(), 14);
    QCOMPARE(f.feed("lo|clBlack\xff" "CMD_pa"), QList<QByteArray>{"CMD_chat+1+hello|clBlack"});
    QCOMPARE(f.pendingSize(), 6);
    QCOMPARE(f.feed("ss+1+\xff"), QList<QByteArray>{"CMD_pass+1+"});
    QCOMPARE(f.pendingSize(), 0);
    // Separate framers never share pending bytes.
    MessageFramer other;
    QVERIFY(f.feed("CMD_x").isEmpty());
    QCOMPARE(other.feed("+1\xff"), QList<QByteArray>{"+1"});
}

void MessageTests::framingBoundsOneMessage()
{
    MessageFramer f(4096);
    const QByteArray huge(1024 * 1024, 'a');
    // A megabyte with no terminator keeps at most 4096 bytes, however it arrives.
    for (int i = 0; i < 16; ++i)
        QVERIFY(f.feed(huge.mid(i * 65536, 65536)).isEmpty());
    QCOMPARE(f.pendingSize(), 4096);
    QVERIFY(f.discarding());
    // The terminator ends the long message (cut to 4096) and the next one is whole.
    const QList<QByteArray> got = f.feed("tail\xff" "CMD_pass+1+\xff");
    QCOMPARE(got.size(), 2);
    QCOMPARE(got[0], QByteArray(4096, 'a'));
    QCOMPARE(got[1], QByteArray("CMD_pass+1+"));
    QVERIFY(!f.discarding());
    // Exactly 4096 bytes are kept whole.
    QCOMPARE(f.feed(QByteArray(4096, 'b') + '\xff'), QList<QByteArray>{QByteArray(4096, 'b')});
}

void MessageTests::commandWordAndArguments()
{
    Message m = parseMessage("CMD_full+");
    QCOMPARE(m.command, QByteArray("CMD_full"));
    QCOMPARE(m.args, QByteArray());
    m = parseMessage("CMD_chat+1+a+b|clRed");
    QCOMPARE(m.command, QByteArray("CMD_chat"));
    QCOMPARE(m.args, QByteArray("1+a+b|clRed"));
    QVERIFY(parseMessage("CMD_full").command.isEmpty());
    QVERIFY(parseMessage("").command.isEmpty());
    QVERIFY(parseMessage("+abc").command.isEmpty());
}

void MessageTests::fieldsReadFromTheFront()
{
    FieldReader f("2+1.0.3+Blue+Green");
    QCOMPARE(f.numberField(), 2);
    QCOMPARE(f.field(), QByteArray("1.0.3"));
    // The rest keeps its "+": a name may hold one.
    QCOMPARE(f.rest(), QByteArray("Blue+Green"));

    FieldReader g("Red+5+60+");
    QCOMPARE(g.field(), QByteArray("Red"));
    QCOMPARE(g.field(), QByteArray("5"));
    QCOMPARE(g.field(), QByteArray("60"));
    // No "+" left: the field is empty and the text stays as it was.
    QCOMPARE(g.field(), QByteArray());
    FieldReader h("tail");
    QCOMPARE(h.field(), QByteArray());
    QCOMPARE(h.rest(), QByteArray("tail"));
}

void MessageTests::numbersAreStrict()
{
    int v = 0;
    QVERIFY(toNumber("0", &v) && v == 0);
    QVERIFY(toNumber("-12", &v) && v == -12);
    QVERIFY(toNumber("+7", &v) && v == 7);
    QVERIFY(toNumber("2147483647", &v) && v == 2147483647);
    QVERIFY(toNumber("-2147483648", &v) && v == -2147483647 - 1);
    for (const char *bad : {"", "-", " 1", "1 ", "1a", "0x10", "$10", "2147483648", "99999999999999999999", "1.5"})
        QVERIFY2(!toNumber(bad, &v), bad);
    QVERIFY_THROWS_EXCEPTION(EConvertError, number("abc"));
    try {
        number("x");
        QFAIL("no exception");
    } catch (const EConvertError &e) {
        QCOMPARE(QByteArray(e.what()), QByteArray("'x' is not a valid integer value"));
    }
}

void MessageTests::repeatedGroups()
{
    FieldReader f("2+1+3+2+8+3+1+4+14+5+20");
    QCOMPARE(f.numberField(), 2);
    f.beginGroups();
    QList<int> letters;
    while (f.moreGroups()) {
        f.field();
        letters << f.numberField();
    }
    QCOMPARE(letters, (QList<int>{3, 8, 1, 14, 20}));
    QCOMPARE(f.rest(), QByteArray("@"));

    // A damaged tail cannot make the reader loop for ever.
    FieldReader g("1+2+3");
    g.beginGroups();
    int groups = 0;
    while (g.moreGroups() && groups < 100) {
        g.field();
        g.field();
        ++groups;
    }
    QVERIFY(groups < 100);
}

void MessageTests::buildersMatchTheExampleExchange()
{
    QCOMPARE(msg::sendlogininfo(2), QByteArray("CMD_sendlogininfo+2"));
    QCOMPARE(msg::logininfo(2, kGameVersion, "Blue"), QByteArray("CMD_logininfo+2+1.0.3+Blue"));
    QCOMPARE(msg::newplayerinfo(2, "Blue"), QByteArray("CMD_newplayerinfo+2+Blue"));
    QCOMPARE(msg::existingplayers(1, "Red"), QByteArray("CMD_existingplayers+1+Red"));
    QCOMPARE(msg::startgame("Red", "5", "60"), QByteArray("CMD_startgame+Red+5+60+"));
    QCOMPARE(msg::startgameRelay("Red", "5", "60", ""), QByteArray("CMD_startgame+Red+5+60++"));
    QCOMPARE(msg::startround(1), QByteArray("CMD_startround+1+"));
    QCOMPARE(msg::nextplayer(2, 1, "c_a_t"), QByteArray("CMD_nextplayer+2+1+c_a_t+"));
    QCOMPARE(msg::nextplayerSpy(), QByteArray("CMD_nextplayer+1+0+*+"));
    QCOMPARE(msg::myword(2, {3, 8, 1, 14, 20}), QByteArray("CMD_myword+2+1+3+2+8+3+1+4+14+5+20"));
    QCOMPARE(msg::hiscount(2, 1), QByteArray("CMD_hiscount+2+1+"));
    QCOMPARE(msg::newword(2, 1, 2, "_bou_"), QByteArray("CMD_newword+2+1+2+_bou_+"));
    QCOMPARE(msg::pass(1), QByteArray("CMD_pass+1+"));
    QCOMPARE(msg::timeup(2), QByteArray("CMD_timeup+2+"));
    QCOMPARE(msg::postscores(0, msg::scoreEntry(1, ScoreKind::Other, "c_a_t")),
             QByteArray("CMD_postscores+0+1+1+c_a_t"));
    QCOMPARE(msg::scoreEntry(0, ScoreKind::Target, "chant"), QByteArray("+0+5+chant"));
    QCOMPARE(msg::chatRelay("Red", "hi+there|clBlack"), QByteArray("CMD_chat+Red chats: hi+there|clBlack"));
    QCOMPARE(msg::actionRelay("Red", "waves|clRed"), QByteArray("CMD_action+Red waves|clRed"));
    QCOMPARE(msg::playasound(3, 12), QByteArray("CMD_playasound+3+wave12+"));
    QCOMPARE(msg::justwatch(4, 1), QByteArray("CMD_justwatch+4+1"));
    QCOMPARE(msg::kickhim(1, 3), QByteArray("CMD_kickhim+1+3+"));
    QCOMPARE(msg::loadstats(7, 60, 42, 5, 2, 1, msg::statsTriple(2, 0, 0)),
             QByteArray("CMD_loadstats+7+60+42+5+2+1+2+0+0"));
    QCOMPARE(msg::full(), QByteArray("CMD_full+"));
    QCOMPARE(msg::winner("Klot"), QByteArray("CMD_winner+Klot+"));
}

int runMessageTests(int argc, char **argv)
{
    MessageTests t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_protocol.moc"
