// Computer players: the word index against a plain scan, the decisions of one
// player, and whole seeded games on a real server with shortened seconds.
#include "botbrain.h"
#include "botmanager.h"
#include "computerplayer.h"
#include "gametable.h"
#include "testclient.h"
#include "tserver.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace vexlo;

namespace {

constexpr int kServerSecondMs = 20; // a 30-second round lasts 0.6 s
constexpr int kBotSecondMs = 5;

struct Sent
{
    ComputerPlayer *bot;
    int round;
    int index;
    QByteArray pattern;
    QByteArray word;
};

// Records every word the bots send, with the round it was meant for.
struct SentLog
{
    QList<Sent> words;
    QList<Sent> passes;
    void watch(ComputerPlayer *bot, const TServer &server)
    {
        QObject::connect(bot, &ComputerPlayer::wordSent, bot, [=, this, &server](int i, const QByteArray &p, const QByteArray &w) {
            words.append({bot, server.round(), i, p, w});
        });
        QObject::connect(bot, &ComputerPlayer::passed, bot, [=, this, &server](int i, const QByteArray &p) {
            passes.append({bot, server.round(), i, p, {}});
        });
    }
};

QList<QByteArray> scan(const WordIndex &index, Vocabulary v, const QByteArray &pattern)
{
    QList<QByteArray> out;
    for (int i = 0; i < index.size(v); ++i) {
        const QByteArray &w = index.word(v, i);
        bool fits = pattern.size() == 5;
        for (int k = 0; fits && k < 5; ++k)
            fits = !(pattern[k] >= 'a' && pattern[k] <= 'z') || pattern[k] == w[k];
        if (fits)
            out << w;
    }
    return out;
}

QList<QByteArray> fitting(const WordIndex &index, Vocabulary v, const QByteArray &pattern)
{
    std::vector<int> ids;
    index.fitting(v, pattern, ids);
    QList<QByteArray> out;
    for (int i : ids)
        out << index.word(v, i);
    return out;
}

// The four shapes of the round engine applied to a word.
QList<QByteArray> patternsOf(const QByteArray &w)
{
    QByteArray p0 = w, p1 = w, p2 = w, p3 = w;
    p0[1] = p0[3] = '_';
    p1[1] = p1[2] = p1[3] = '_';
    p2[0] = p2[2] = p2[4] = '_';
    p3[0] = p3[4] = '_';
    return {p0, p1, p2, p3};
}

QStringList strings(std::initializer_list<const char *> list)
{
    QStringList out;
    for (const char *s : list)
        out << QString::fromLatin1(s);
    return out;
}

std::unique_ptr<QProcess> startServerProgram(const QStringList &args, quint16 *port)
{
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VEXLO_SECOND_MS"), QString::number(kServerSecondMs));
    env.insert(QStringLiteral("VEXLO_BOT_SECOND_MS"), QString::number(kBotSecondMs));
    p->setProcessEnvironment(env);
    p->start(QStringLiteral(VEXLO_SERVER_BIN), QStringList{QStringLiteral("--port"), QStringLiteral("0")} + args);
    if (!p->waitForStarted() || !p->waitForReadyRead(5000))
        return nullptr;
    *port = static_cast<quint16>(p->readLine().mid(18).trimmed().toUInt());
    return p;
}

} // namespace

class BotTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void wordIndexAgreesWithAScan();
    void decisionsFollowTheSpeedAndTheRefusals();
    void wholeSeededGame();
    void passesAnUnknownWordAndComesBack();
    void damagedMessagesAreDropped();
    void lateArrivalAndRemovalByTheHost();
    void hostedBotsFollowThePeople();
    void serverProgramRefusesBadBotArguments();
};

void BotTests::wordIndexAgreesWithAScan()
{
    const WordIndex &index = WordIndex::shared();
    const TDictn spell;
    const TargetList targets;
    QCOMPARE(index.size(Vocabulary::Common), targets.count());
    int fiveLetter = 0;
    for (qsizetype i = 0; i < spell.recordCount(); ++i)
        fiveLetter += spell.recordWord(i).size() == 5 ? 1 : 0;
    QCOMPARE(index.size(Vocabulary::Full), fiveLetter);

    QList<QByteArray> patterns = {"_____", "zzzzz", "a___a", "x_y_z", "ab", "a_b_c_", "ABOUT", "_bou_"};
    for (int i = 0; i < targets.count(); i += 101)
        patterns += patternsOf(targets.at(i).toLatin1());
    for (const QByteArray &p : patterns) {
        for (Vocabulary v : {Vocabulary::Common, Vocabulary::Full}) {
            const QList<QByteArray> got = fitting(index, v, p);
            QCOMPARE(got, scan(index, v, p));
            QCOMPARE(index.countFitting(v, p), got.size());
        }
        // Every common word that fits is also in the full vocabulary.
        const QList<QByteArray> full = fitting(index, Vocabulary::Full, p);
        const QSet<QByteArray> fullSet(full.begin(), full.end());
        for (const QByteArray &w : fitting(index, Vocabulary::Common, p))
            QVERIFY(fullSet.contains(w));
    }
    QVERIFY(fitting(index, Vocabulary::Common, "_bou_").contains("about"));
    QVERIFY(fitting(index, Vocabulary::Common, "ABOUT").size() == targets.count()); // capitals are blanks
}

void BotTests::decisionsFollowTheSpeedAndTheRefusals()
{
    const WordIndex index({"chant", "chart", "coast"}, {"cleat", "caste"});
    for (BotSpeed speed : {BotSpeed::Slow, BotSpeed::Normal, BotSpeed::Fast}) {
        const BotProfile p = botProfile(speed);
        BotBrain brain(speed, index, 11);
        QSet<QByteArray> seen;
        for (int k = 0; k < 200; ++k) {
            const BotBrain::Move m = brain.plan("c___t");
            // Thinking within the range, a quarter longer at most for few
            // known words, jittered by a quarter; five letters at the speed.
            QVERIFY(m.thinkMs >= p.thinkMinMs * 0.75 && m.thinkMs <= p.thinkMaxMs * 1.25 * 1.25);
            if (m.word.isEmpty())
                continue;
            QVERIFY(m.typeMs >= 5 * p.letterMs * 0.75 && m.typeMs <= 5 * p.letterMs * 1.25);
            seen.insert(m.word);
        }
        // Only Fast knows the dictionary's other words.
        const QSet<QByteArray> common = {"chant", "chart", "coast"};
        QCOMPARE(seen, speed == BotSpeed::Fast ? common + QSet<QByteArray>{"cleat"} : common);
    }

    BotBrain brain(BotSpeed::Normal, index, 3);
    brain.refuse("chant");
    brain.refuse("chart");
    QCOMPARE(brain.known("c___t"), 1);
    int passes = 0;
    for (int k = 0; k < 100; ++k) {
        const BotBrain::Move m = brain.plan("c___t");
        QVERIFY(m.word.isEmpty() || m.word == "coast");
        passes += m.word.isEmpty() ? 1 : 0;
    }
    QVERIFY(passes > 10 && passes < 50); // one known word: it comes to mind more often than not
    brain.refuse("coast");
    QVERIFY(brain.plan("c___t").word.isEmpty());
    QVERIFY(brain.plan("zz___").word.isEmpty());

    // The same seed makes the same decisions.
    BotBrain a(BotSpeed::Fast, WordIndex::shared(), 99), b(BotSpeed::Fast, WordIndex::shared(), 99);
    for (const QByteArray &p : patternsOf("about")) {
        const BotBrain::Move x = a.plan(p), y = b.plan(p);
        QCOMPARE(x.word, y.word);
        QCOMPARE(x.thinkMs, y.thinkMs);
    }
    QVERIFY(parseBotSpeed(QStringLiteral("FAST")) == BotSpeed::Fast);
    QVERIFY(!parseBotSpeed(QStringLiteral("turbo")));
    QVERIFY(botSpeedFromLetterMs(500) == BotSpeed::Fast && botSpeedFromLetterMs(2000) == BotSpeed::Slow);
    QVERIFY(!botSpeedFromLetterMs(750));
}

void BotTests::wholeSeededGame()
{
    const TDictn spell;
    const TargetList targets;
    TServer server(&spell, &targets);
    server.random().setSeed(2024);
    server.setSecondLength(kServerSecondMs);
    server.startListening(QStringLiteral("0"));

    TestClient host(server.listeningPort());
    QCOMPARE(host.login("Host"), 1);
    BotManager bots;
    bots.setServer(QStringLiteral("127.0.0.1"), server.listeningPort());
    bots.setSeed(1);
    bots.setSecondLength(kBotSecondMs);
    SentLog log;
    for (BotSpeed s : {BotSpeed::Slow, BotSpeed::Normal, BotSpeed::Fast})
        log.watch(bots.add(s), server);
    QCOMPARE(bots.names(), strings({"Ada (bot)", "Bram (bot)", "Cleo (bot)"}));
    QVERIFY(host.waitFor("CMD_newplayerinfo+4+Cleo (bot)"));

    host.send("CMD_startgame+Host+2+30+");
    QVERIFY(!host.waitForPrefix("CMD_winner+", 20000).isEmpty());
    QVERIFY(!log.words.isEmpty());
    for (const Sent &s : log.words) {
        QVERIFY2(spell.IsWord(s.word), s.word.constData());
        QVERIFY(WordIndex::fits(s.word, s.pattern));
        QCOMPARE(s.pattern, server.board(s.round, s.index).pattern);
    }
    // Each speed played; the fast one more than the slow one.
    auto wordsOf = [&](ComputerPlayer *b) {
        return std::count_if(log.words.begin(), log.words.end(), [b](const Sent &s) { return s.bot == b; });
    };
    const QList<ComputerPlayer *> players = bots.players();
    QVERIFY(wordsOf(players[0]) > 0);
    QVERIFY(wordsOf(players[2]) > wordsOf(players[0]));
    // One "Good game!" from each, after the winner, and no other chat.
    for (const char *name : {"Ada (bot)", "Bram (bot)", "Cleo (bot)"})
        QTRY_COMPARE(host.count(QByteArray("CMD_chat+") + name + " chats: Good game!|clBlack"), 1);
    QCOMPARE(host.withPrefix("CMD_chat+").size(), 3);
    QCOMPARE(host.withPrefix("CMD_action+").size(), 0);
}

void BotTests::passesAnUnknownWordAndComesBack()
{
    constexpr quint32 kSeed = 77;
    const TargetList targets;
    GameRules board(nullptr, &targets);
    board.random().setSeed(kSeed);
    board.setboards();
    const QByteArray hard = board.board(1, 1).pattern;
    // A player that knows every target but none that fits word 1.
    QList<QByteArray> known;
    for (int i = 0; i < targets.count(); ++i)
        if (!WordIndex::fits(targets.at(i).toLatin1(), hard))
            known << targets.at(i).toLatin1();
    const WordIndex index(known, {});

    const TDictn spell;
    TServer server(&spell, &targets);
    server.random().setSeed(kSeed);
    server.setSecondLength(kServerSecondMs);
    server.startListening(QStringLiteral("0"));
    TestClient host(server.listeningPort());
    QCOMPARE(host.login("Host"), 1);
    ComputerPlayer bot("Solo (bot)", BotSpeed::Normal, 5, index);
    bot.setSecondLength(kBotSecondMs);
    QSignalSpy passes(&bot, &ComputerPlayer::passed);
    bot.connectTo(QStringLiteral("127.0.0.1"), server.listeningPort());
    QVERIFY(host.waitFor("CMD_newplayerinfo+2+Solo (bot)"));
    host.send("CMD_startgame+Host+1+60+");

    // Nine words filled; word 1 passed at once, and again when it came back
    // as the last blank word; then the player waits for the time to run out.
    QVERIFY(host.waitFor("CMD_hiscount+2+9+", 15000));
    QVERIFY(host.waitForPrefix("CMD_postscores+", 15000).size());
    int passedHard = 0;
    for (const QList<QVariant> &p : passes) {
        if (p.at(0).toInt() == 1) {
            QCOMPARE(p.at(1).toByteArray(), hard);
            ++passedHard;
        }
    }
    QCOMPARE(passedHard, 2);
    QCOMPARE(passes.last().at(0).toInt(), 1);
    QVERIFY(!host.got.contains("CMD_hiscount+2+10+"));
    QCOMPARE(bot.state(), ComputerPlayer::State::Idle);
}

void BotTests::damagedMessagesAreDropped()
{
    const WordIndex index(QList<QByteArray>{"chant"}, {});
    ComputerPlayer bot("Bot (bot)", BotSpeed::Fast, 1, index);
    QSignalSpy in(&bot, &ComputerPlayer::loggedIn);
    bot.handleMessage("CMD_sendlogininfo+2+");
    QCOMPARE(bot.slot(), 0);
    bot.handleMessage("CMD_sendlogininfo+2");
    QCOMPARE(bot.slot(), 2);
    QCOMPARE(in.size(), 1);
    bot.handleMessage("CMD_startround+1+");
    bot.handleMessage("CMD_newword+2+0+x+c_a_t+");
    QCOMPARE(bot.state(), ComputerPlayer::State::Idle);
    QCOMPARE(bot.currentIndex(), 0);
    bot.handleMessage("CMD_nextplayer+2+1+c_a_t+");
    QCOMPARE(bot.state(), ComputerPlayer::State::Thinking);
    QCOMPARE(bot.currentPattern(), QByteArray("c_a_t"));
    // A damaged field the player does not read does not stop the message.
    bot.handleMessage("CMD_allfilled+2+?+");
    QCOMPARE(bot.state(), ComputerPlayer::State::Idle);
}

void BotTests::lateArrivalAndRemovalByTheHost()
{
    const TDictn spell;
    const TargetList targets;
    TServer server(&spell, &targets);
    server.setSecondLength(kServerSecondMs);
    server.startListening(QStringLiteral("0"));
    TestClient host(server.listeningPort());
    QCOMPARE(host.login("Host"), 1);
    host.send("CMD_startgame+Host+1+120+");
    QVERIFY(host.waitForPrefix("CMD_nextplayer+1+").size());

    BotManager bots;
    bots.setServer(QStringLiteral("127.0.0.1"), server.listeningPort());
    bots.setSecondLength(kBotSecondMs);
    QSignalSpy counts(&bots, &BotManager::countChanged);
    ComputerPlayer *late = bots.add(BotSpeed::Fast);
    SentLog log;
    log.watch(late, server);
    QTRY_VERIFY(log.words.size() >= 2);
    QCOMPARE(late->slot(), 2);
    QCOMPARE(log.words.first().pattern, server.board(1, 1).pattern);
    QVERIFY(host.waitFor("CMD_hiscount+2+1+"));

    host.send(msg::kickhim(1, 2));
    QVERIFY(host.waitForPrefix("CMD_playerdisconnected+2+").size());
    QTRY_COMPARE(bots.count(), 0);
    QCOMPARE(counts.last().at(0).toInt(), 0);
    QVERIFY(botnames::inUse().isEmpty());
}

void BotTests::hostedBotsFollowThePeople()
{
    quint16 port = 0;
    const auto server = startServerProgram(strings({"--bots", "2", "--bot-speed", "fast", "--seed", "5"}), &port);
    QVERIFY(server && port);

    auto first = std::make_unique<TestClient>(port);
    QCOMPARE(first->login("Red"), 1);
    QVERIFY(first->waitFor("CMD_newplayerinfo+2+Ada (bot)"));
    QVERIFY(first->waitFor("CMD_newplayerinfo+3+Bram (bot)"));
    TestClient observer(port); // connected, never logged in: not a person
    QCOMPARE(observer.waitForSlot(), 4);
    TestClient second(port);
    QCOMPARE(second.login("Blue"), 5);
    QVERIFY(second.waitFor("CMD_existingplayers+2+Ada (bot)"));

    // The host leaves: the bots stay with Blue; Blue leaves: they go too.
    first.reset();
    QVERIFY(!second.waitForPrefix("CMD_playerdisconnected+1+").isEmpty());
    second.sock.disconnectFromHost();
    QVERIFY(observer.waitFor("CMD_playerdisconnected+5+Blue"));
    QVERIFY(observer.waitFor("CMD_playerdisconnected+2+Ada (bot)"));
    QVERIFY(observer.waitFor("CMD_playerdisconnected+3+Bram (bot)"));
    QCOMPARE(observer.withPrefix("CMD_playerdisconnected+").size(), 4);

    // The next host takes slot 1 again, and the bots come back.
    TestClient next(port);
    QCOMPARE(next.login("Green"), 1);
    QVERIFY(next.waitFor("CMD_newplayerinfo+2+Ada (bot)"));
    QVERIFY(next.waitFor("CMD_newplayerinfo+3+Bram (bot)"));
    QCOMPARE(next.withPrefix("CMD_existingplayers+"), QList<QByteArray>{"CMD_existingplayers+4+"});
    next.send("CMD_startgame+Green+1+30+");
    QVERIFY(next.waitFor("CMD_hiscount+2+3+", 10000));

    server->terminate();
    QVERIFY(server->waitForFinished(5000));
    QCOMPARE(server->exitCode(), 0);
}

void BotTests::serverProgramRefusesBadBotArguments()
{
    const QList<QPair<QStringList, QByteArray>> cases = {
        {strings({"--bots", "6"}), "--bots takes a number from 0 to 5"},
        {strings({"--bots", "x"}), "--bots takes a number from 0 to 5"},
        {strings({"--bots", "2", "--bot-speed", "turbo"}), "--bot-speed takes slow, normal or fast"},
        {strings({"--bot-speed"}), "missing value after"},
    };
    for (const auto &[args, err] : cases) {
        QProcess p;
        p.start(QStringLiteral(VEXLO_SERVER_BIN), args);
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY2(p.readAllStandardError().contains(err), qPrintable(args.join(QLatin1Char(' '))));
    }
}

QTEST_GUILESS_MAIN(BotTests)
#include "tst_bots.moc"
