// The server's messages: what the builders write, the decoder gives back field
// for field, and damaged messages come out as a clear error at the right field.
#include "catalogue.h"
#include "message.h"
#include "servermessages.h"

#include <QSet>
#include <QTest>

using namespace vexlo;

class ServerMessageTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyMessageRoundTrips();
    void relaysKeepTheSendersText();
    void ignoredTexts();
    void badNumbersStopAtTheirField();
    void missingFieldsReadEmpty();
    void groupsKeepWhatCameBeforeDamage();
    void overlongFields();
};

namespace {

struct Case
{
    QByteArray wire;
    ServerMessage message;
};

QList<Case> everyMessage()
{
    using namespace msg;
    const QByteArray scores = scoreEntry(1, ScoreKind::Exact, "chant") + scoreEntry(1, ScoreKind::Other, "_bou_")
                              + scoreEntry(1, ScoreKind::AllTen, "25") + scoreEntry(1, ScoreKind::Points, "35")
                              + scoreEntry(1, ScoreKind::Total, "135") + scoreEntry(0, ScoreKind::Target, "about");
    return {
        {sendlogininfo(2), SendLoginInfo{2}},
        {full(), Full{}},
        {newplayerinfo(2, "Blue+Green"), NewPlayerInfo{2, "Blue+Green"}},
        {existingplayers(1, ""), ExistingPlayers{1, ""}},
        {havewrongversion("Old One"), HaveWrongVersion{"Old One"}},
        {wrongversion(), WrongVersion{}},
        {playerdisconnected(8, "Spy"), PlayerDisconnected{8, "Spy"}},
        {justwatching(3, "1"), JustWatching{3, "1"}},
        {chatRelay("Red", "hi+there|clBlack"), Chat{"Red chats: hi+there|clBlack"}},
        {actionRelay("Red", "waves|$00FF0000"), Action{"Red waves|$00FF0000"}},
        {playasoundRelay(4, "wave12+"), PlayASound{4, "wave12"}},
        {startgameRelay("Red", "5", "60", ""), StartGame{"Red", "5", 60, ""}},
        {startround(21), StartRound{"21"}},
        {nextplayer(2, 1, "c_a_t"), NextPlayer{2, 1, "c_a_t"}},
        {nextplayerSpy(), NextPlayer{1, 0, "*"}},
        {newword(2, 1, 2, "_bou_"), NewWord{2, 1, 2, "_bou_"}},
        {invalid(2, 2), Invalid{2, 2}},
        {allfilled(5, 10), AllFilled{5, 10}},
        {hiscount(6, 10), HisCount{6, "10"}},
        {alldone(), AllDone{}},
        {timeup(9), TimeUp{9}},
        {postscores(0, scores),
         PostScores{0,
                    {{1, ScoreKind::Exact, "chant"},
                     {1, ScoreKind::Other, "_bou_"},
                     {1, ScoreKind::AllTen, "25"},
                     {1, ScoreKind::Points, "35"},
                     {1, ScoreKind::Total, "135"},
                     {0, ScoreKind::Target, "about"}}}},
        {winner("Klot"), Winner{"Klot"}},
        {loadstats(7, 60, -2, 5, 2, 3, statsTriple(1, 40, 0) + statsTriple(2, 0, 10)),
         LoadStats{7, 60, -2, "5", "2", 3, {{1, "40", "0"}, {2, "0", "10"}}}},
    };
}

DecodedMessage decodeOk(const QByteArray &wire)
{
    const DecodedMessage d = decodeServerMessage(wire);
    if (!d.ok() || !d.message)
        qWarning() << "not decoded:" << wire << d.errorText();
    return d;
}

} // namespace

void ServerMessageTests::everyMessageRoundTrips()
{
    QSet<std::size_t> kinds;
    for (const Case &c : everyMessage()) {
        const DecodedMessage d = decodeOk(c.wire);
        QVERIFY2(d.ok() && d.message, c.wire.constData());
        QVERIFY2(*d.message == c.message, c.wire.constData());
        QCOMPARE(encodeServerMessage(*d.message), c.wire);
        kinds.insert(d.message->index());
    }
    QCOMPARE(kinds.size(), qsizetype(std::variant_size_v<ServerMessage>));

    // The example exchange's bytes, as a receiver gets them.
    QCOMPARE(msg::startgameRelay("Red", "5", "60", ""), QByteArray("CMD_startgame+Red+5+60++"));
    QCOMPARE(msg::postscores(0, msg::scoreEntry(1, ScoreKind::Other, "c_a_t") + msg::scoreEntry(0, ScoreKind::Target, "chant")),
             QByteArray("CMD_postscores+0+1+1+c_a_t+0+5+chant"));
    QCOMPARE(msg::loadstats(7, 60, 42, 5, 2, 1, msg::statsTriple(2, 0, 0)),
             QByteArray("CMD_loadstats+7+60+42+5+2+1+2+0+0"));
    QCOMPARE(msg::justwatching(4, "2"), QByteArray("CMD_justwatching+4+2"));
    QVERIFY(std::get<msg::JustWatching>(*decodeOk("CMD_justwatching+4+1+junk").message).watching());
    QVERIFY(!std::get<msg::JustWatching>(*decodeOk("CMD_justwatching+4+2").message).watching());
}

void ServerMessageTests::relaysKeepTheSendersText()
{
    // The relays echo what the sender wrote; the decoder reads it as any receiver would.
    const DecodedMessage g = decodeOk(msg::startgameRelay("Red", "x", "60", "4th"));
    QCOMPARE(std::get<msg::StartGame>(*g.message), (msg::StartGame{"Red", "x", 60, "4th"}));
    // A sound relay with no trailing "+" has no sound name; a seat that is no number reads 0.
    QCOMPARE(std::get<msg::PlayASound>(*decodeOk("CMD_playasound+2+wave3").message), (msg::PlayASound{2, ""}));
    QCOMPARE(std::get<msg::PlayASound>(*decodeOk("CMD_playasound+x+wave3+").message), (msg::PlayASound{0, "wave3"}));
}

void ServerMessageTests::ignoredTexts()
{
    for (const QByteArray &text : {QByteArray(), QByteArray("CMD_full"), QByteArray("+abc"), QByteArray("CMD_myword+1+"),
                                   QByteArray("cmd_full+"), QByteArray("CMD_Full+"), QByteArray("\xff+\x00", 3)}) {
        const DecodedMessage d = decodeServerMessage(text);
        QVERIFY2(!d.message && d.ok(), text.constData());
    }
    QCOMPARE(decodeServerMessage("CMD_myword+1+").command, QByteArray("CMD_myword"));
}

void ServerMessageTests::badNumbersStopAtTheirField()
{
    // The fields before the bad one stand, the bad one and those after keep their defaults.
    DecodedMessage d = decodeServerMessage("CMD_newword+2+x+3+abcde+");
    QCOMPARE(d.badField, 1);
    QCOMPARE(d.badText, QByteArray("x"));
    QCOMPARE(std::get<msg::NewWord>(*d.message), (msg::NewWord{2, 0, 0, ""}));
    QVERIFY(d.converted(1));
    QVERIFY(!d.converted(2));
    QCOMPARE(d.errorText(), QStringLiteral("'x' is not a valid integer value"));
    try {
        d.raise();
        QFAIL("no error raised");
    } catch (const EConvertError &e) {
        QCOMPARE(QByteArray(e.what()), QByteArray("'x' is not a valid integer value"));
    }
    decodeServerMessage("CMD_newword+2+1+3+abcde+").raise(); // nothing to raise

    // Strict numbers: signs, spaces, hex and overflow are no numbers.
    for (const QByteArray &bad : {QByteArray(" 1"), QByteArray("1 "), QByteArray("0x1"), QByteArray("2147483648"),
                                  QByteArray("-"), QByteArray("1.0")}) {
        d = decodeServerMessage("CMD_hiscount+" + bad + "+3+");
        QCOMPARE(d.badField, 0);
        QCOMPARE(d.badText, bad);
    }
    QCOMPARE(std::get<msg::HisCount>(*decodeOk("CMD_hiscount+-6+3+").message).seat, -6);

    // The whole rest is the slot of "CMD_sendlogininfo".
    d = decodeServerMessage("CMD_sendlogininfo+2+");
    QCOMPARE(d.badField, 0);
    QCOMPARE(d.errorText(), QStringLiteral("'2+' is not a valid integer value"));
    // The creation time of a game start comes after texts.
    d = decodeServerMessage("CMD_startgame+Red+5+sixty++");
    QCOMPARE(d.badField, 2);
    QCOMPARE(std::get<msg::StartGame>(*d.message), (msg::StartGame{"Red", "5", 0, ""}));
    // Lenient fields never fail: a refusal's reason, a time-up's slot.
    QCOMPARE(std::get<msg::Invalid>(*decodeOk("CMD_invalid+2+why+").message), (msg::Invalid{2, 0}));
    QCOMPARE(std::get<msg::TimeUp>(*decodeOk("CMD_timeup+").message), (msg::TimeUp{0}));
}

void ServerMessageTests::missingFieldsReadEmpty()
{
    // A field with no "+" after it is empty: a number there is an error ...
    DecodedMessage d = decodeServerMessage("CMD_nextplayer+2+1");
    QCOMPARE(d.badField, 1);
    QCOMPARE(d.badText, QByteArray());
    QCOMPARE(d.errorText(), QStringLiteral("'' is not a valid integer value"));
    d = decodeServerMessage("CMD_newplayerinfo+");
    QCOMPARE(d.badField, 0);
    // ... a text is empty, and an empty "done" of "CMD_allfilled" is 0.
    QCOMPARE(std::get<msg::Winner>(*decodeOk("CMD_winner+Klot").message).name, QByteArray());
    QCOMPARE(std::get<msg::StartRound>(*decodeOk("CMD_startround+").message).round, QByteArray());
    QCOMPARE(std::get<msg::AllFilled>(*decodeOk("CMD_allfilled+3++").message), (msg::AllFilled{3, 0}));
    QCOMPARE(decodeServerMessage("CMD_allfilled+3+q+").badField, 1);
    // Fields after the last one the message has are not looked at.
    QCOMPARE(std::get<msg::Invalid>(*decodeOk("CMD_invalid+2+1+x+y+").message), (msg::Invalid{2, 1}));
}

void ServerMessageTests::groupsKeepWhatCameBeforeDamage()
{
    // A damaged score entry ends the list; the entries before it stand.
    DecodedMessage d = decodeServerMessage("CMD_postscores+2+1+0+chant+1+x+about+2+3+50");
    QCOMPARE(d.badField, 5);
    QCOMPARE(d.badText, QByteArray("x"));
    const auto &ps = std::get<msg::PostScores>(*d.message);
    QCOMPARE(ps.first, 2);
    QCOMPARE(ps.entries, (QList<msg::ScoreEntry>{{1, ScoreKind::Exact, "chant"}}));
    // A first finisher that is no number is none; an unknown kind is kept for the receiver to skip.
    QCOMPARE(std::get<msg::PostScores>(*decodeOk("CMD_postscores+?+1+9+w").message),
             (msg::PostScores{0, {{1, ScoreKind(9), "w"}}}));
    // A short last group reads empty fields; a trailing "+" is not a group.
    QCOMPARE(std::get<msg::PostScores>(*decodeOk("CMD_postscores+0+1+3+").message).entries,
             (QList<msg::ScoreEntry>{{1, ScoreKind::Total, ""}}));
    QCOMPARE(decodeServerMessage("CMD_postscores+0+1").badField, 2);
    // The reader always reads one group: a list with none cannot be sent whole.
    QVERIFY(!decodeServerMessage(msg::postscores(3, {})).ok());
    QVERIFY(!decodeServerMessage(msg::loadstats(7, 60, 42, 5, 2, 1, {})).ok());

    // A stats line whose seat is no number is left out; the others stand.
    d = decodeOk("CMD_loadstats+7+60+42+5+2+1+x+9+9+2+10+3");
    QCOMPARE(std::get<msg::LoadStats>(*d.message).seats, (QList<msg::SeatStats>{{2, "10", "3"}}));
    d = decodeServerMessage("CMD_loadstats+7+60+42+5+2+p+2+0+0");
    QCOMPARE(d.badField, 5);
    QCOMPARE(std::get<msg::LoadStats>(*d.message), (msg::LoadStats{7, 60, 42, "5", "2", 0, {}}));
}

void ServerMessageTests::overlongFields()
{
    // The error quotes at most 60 characters of a long field.
    const QByteArray longField(5000, '7');
    const DecodedMessage d = decodeServerMessage("CMD_hiscount+" + longField + "+1+");
    QCOMPARE(d.badText, longField);
    QCOMPARE(d.errorText(), QStringLiteral("'") + QString(60, QLatin1Char('7')) + QStringLiteral("...' is not a valid integer value"));
    // A report as long as a message may be (the framer keeps 4096 bytes) reads every entry.
    QByteArray entries;
    for (int i = 0; i < 400; ++i)
        entries += msg::scoreEntry(i % 7, ScoreKind::Other, "ab");
    const DecodedMessage big = decodeOk(msg::postscores(1, entries));
    QCOMPARE(std::get<msg::PostScores>(*big.message).entries.size(), 400);
    // A name as long as a message arrives whole.
    const QByteArray name(4000, 'n');
    QCOMPARE(std::get<msg::NewPlayerInfo>(*decodeOk(msg::newplayerinfo(3, name)).message).name, name);
}

int runServerMessageTests(int argc, char **argv)
{
    ServerMessageTests t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_servermessages.moc"
