// The round engine, judging and scoring, on the rules with the round timer
// driven by hand; and one game over real sockets.
#include "gametable.h"
#include "testclient.h"
#include "tserver.h"

#include <QSignalSpy>
#include <QTest>

using namespace vexlo;

namespace {

// One target word, so every word of the board is "chant" in one of its shapes.
const QByteArray kChant = "chant\n";
QByteArray chantImage()
{
    return dictionaryImage({"chant", "chart", "coast", "cleat", "chants", "about"});
}

// A seed whose first board starts with the given pattern.
quint32 seedWithFirstPattern(GameTable &g, const QByteArray &pattern)
{
    for (quint32 seed = 1; seed < 1000; ++seed) {
        g.rules.random().setSeed(seed);
        g.rules.setboards();
        if (g.rules.board(1, 1).pattern == pattern) {
            g.rules.random().setSeed(seed);
            return seed;
        }
    }
    return 0;
}

} // namespace

class GameTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void generatorAndBoard();
    void startHandsOutFirstWords();
    void judgingAgainstDictionaryAndPattern();
    void passesWrapAround();
    void bonusesAndTheAllDonePath();
    void pausesFollowThePlayingSeats();
    void tiesExtendTheGame();
    void winnerTestAndFallbackNames();
    void lateJoiners();
    void wordsOutsideTheRoundAreIgnored();
    void optionsAreClamped();
    void gamesPastTheBoard();
    void aGameOverSockets();
};

void GameTests::generatorAndBoard()
{
    // The generator by hand: seed 0 -> 1 -> 134775814 -> 3698175007.
    RandomGenerator r(0);
    QCOMPARE(r.Random(2460), 0u);
    QCOMPARE(r.Random(2460), 77u);
    QCOMPARE(r.Random(2460), 2118u);
    QCOMPARE(r.seed(), 3698175007u);

    const TDictn spell;
    const TargetList words;
    GameRules rules(&spell, &words);
    // Per word: the target's index, then its shape. Seed 12345 draws index 947
    // (gummy) shape 1, index 196 (blimp) shape 2, index 1558 (ponds) shape 1.
    rules.random().setSeed(12345);
    rules.setboards();
    QCOMPARE(rules.board(1, 1).target, QByteArray("gummy"));
    QCOMPARE(rules.board(1, 1).pattern, QByteArray("g___y"));
    QCOMPARE(rules.board(1, 2).target, QByteArray("blimp"));
    QCOMPARE(rules.board(1, 2).pattern, QByteArray("_l_m_"));
    QCOMPARE(rules.board(1, 3).pattern, QByteArray("p___s"));

    int twoBlanks = 0;
    for (int round = 1; round <= 20; ++round) {
        for (int i = 1; i <= 10; ++i) {
            const tword &w = rules.board(round, i);
            QCOMPARE(w.target.size(), 5);
            QCOMPARE(w.pattern.size(), 5);
            const auto blanks = w.pattern.count('_');
            QVERIFY(blanks == 2 || blanks == 3);
            twoBlanks += blanks == 2;
            for (int k = 0; k < 5; ++k)
                QVERIFY(w.pattern[k] == '_' || w.pattern[k] == w.target[k]);
            QVERIFY(spell.IsWord(w.target));
        }
    }
    QVERIFY(twoBlanks > 50 && twoBlanks < 150);

    // The same seed draws the same board; the next board goes on from there.
    const QByteArray first = rules.board(7, 3).target + rules.board(20, 10).pattern;
    rules.random().setSeed(12345);
    rules.setboards();
    QCOMPARE(rules.board(7, 3).target + rules.board(20, 10).pattern, first);
    rules.setboards();
    QVERIFY(rules.board(1, 1).target != "gummy" || rules.board(1, 2).target != "blimp");
}

void GameTests::startHandsOutFirstWords()
{
    GameTable g(chantImage(), kChant);
    for (int i = 1; i <= 6; ++i)
        g.join("P" + QByteArray::number(i));
    QCOMPARE(g.join("Spy"), 7);
    g.send(1, "CMD_startgame+P1+3+45+");
    QVERIFY(g.rules.gameInProgress());
    for (int s = 1; s <= 7; ++s) {
        const QList<QByteArray> &got = g.got(s);
        const qsizetype start = got.indexOf("CMD_startgame+P1+3+45++");
        QVERIFY(start >= 0);
        QCOMPARE(got.mid(start + 1),
                 (QList<QByteArray>{"CMD_startround+1+",
                                    s <= 6 ? msg::nextplayer(s, 1, g.pattern(1)) : "CMD_nextplayer+1+0+*+"}));
    }
    QCOMPARE(g.notes.last(), (Outgoing{Outgoing::Kind::GameStarted, 1, "P1", 3, 45}));
    QCOMPARE(g.rules.roundPhase(), 1);
    QCOMPARE(g.rules.countdown(), 49);
    QVERIFY(g.rules.timer1Active());
    // A word from the spy slot is not a seat's word.
    const qsizetype before = g.got(7).size();
    g.send(7, mywordOf(7, "chant"));
    QCOMPARE(g.got(7).size(), before);
}

void GameTests::judgingAgainstDictionaryAndPattern()
{
    GameTable g(chantImage(), kChant);
    g.join("Red");
    g.join("Blue");
    g.join("Gold");
    QVERIFY(seedWithFirstPattern(g, "c_a_t"));
    g.send(1, "CMD_startgame+Red+5+60+");
    QCOMPARE(g.pattern(1), QByteArray("c_a_t"));

    g.send(1, mywordOf(1, "cleat"));
    g.send(1, mywordOf(1, "xqzvj"));
    // A word that is not five letters does not fit, even when it is a word.
    g.send(1, "CMD_myword+1+1+3+2+8+3+1+4+14+5+20+6+19");
    QCOMPARE(g.withPrefix(1, "CMD_invalid"),
             (QList<QByteArray>{"CMD_invalid+1+1+", "CMD_invalid+1+2+", "CMD_invalid+1+1+"}));
    QCOMPARE(g.rules.player(1).filled, 0);

    g.got(1).clear();
    g.send(1, mywordOf(1, "chart"));
    QCOMPARE(g.got(1), (QList<QByteArray>{"CMD_hiscount+1+1+", msg::newword(1, 1, 2, g.pattern(2))}));
    QVERIFY(g.got(2).endsWith("CMD_hiscount+1+1+"));
    g.send(2, mywordOf(2, "chant"));
    g.send(3, mywordOf(3, "coast"));
    QVERIFY(g.got(3).contains("CMD_hiscount+3+1+"));

    g.finishPhase();
    for (int s = 1; s <= 3; ++s)
        QVERIFY(g.got(s).contains(msg::timeup(s)));
    const QByteArray scores = g.withPrefix(1, "CMD_postscores+0+").value(0);
    QVERIFY(scores.contains("+1+1+chart+"));
    QVERIFY(scores.contains("+1+2+5+1+3+5+"));
    QVERIFY(scores.contains("+2+0+chant+"));
    QVERIFY(scores.contains("+2+2+10+2+3+10+"));
    QVERIFY(scores.contains("+3+1+coast+"));
    QCOMPARE(g.rules.player(2).total, 10);
    QCOMPARE(g.rules.player(2).roundpoints, 10);
}

void GameTests::passesWrapAround()
{
    GameTable g(chantImage(), kChant);
    g.join("Red");
    g.join("Blue"); // still playing, so the round goes on when Red is done
    g.send(1, "CMD_startgame+Red+5+60+");
    g.send(1, "CMD_pass+1+");
    QVERIFY(g.got(1).endsWith(msg::newword(1, 0, 2, g.pattern(2))));
    // Fill 2..6, pass on 7, fill 8..10: the only blank word left is 7.
    for (int i = 2; i <= 6; ++i)
        g.send(1, mywordOf(1, "chant"));
    g.send(1, "CMD_pass+1+");
    QVERIFY(g.got(1).endsWith(msg::newword(1, 0, 8, g.pattern(8))));
    for (int i = 8; i <= 10; ++i)
        g.send(1, mywordOf(1, "chant"));
    QVERIFY(g.got(1).endsWith(msg::newword(1, 10, 1, g.pattern(1))));
    g.send(1, mywordOf(1, "chant"));
    QVERIFY(g.got(1).endsWith(msg::newword(1, 1, 7, g.pattern(7))));
    // Passing on the only blank word gives it back.
    g.send(1, "CMD_pass+1+");
    QVERIFY(g.got(1).endsWith(msg::newword(1, 0, 7, g.pattern(7))));
    g.send(1, mywordOf(1, "chant"));
    QVERIFY(g.got(1).endsWith("CMD_allfilled+1+7+"));
    g.send(1, "CMD_pass+1+");
    QVERIFY(g.got(1).endsWith("CMD_allfilled+1+0+"));
    // Nothing is left to fill: another word is ignored and counts nothing;
    // passes out of range, for another seat or not a number likewise.
    const qsizetype before = g.got(1).size();
    for (const QByteArray &m : {mywordOf(1, "chant"), QByteArray("CMD_pass+7+"), QByteArray("CMD_pass+2+"),
                                QByteArray("CMD_pass+x+")})
        g.send(1, m);
    QCOMPARE(g.got(1).size(), before);
    QCOMPARE(g.rules.player(1).filled, 10);
}

void GameTests::bonusesAndTheAllDonePath()
{
    GameTable g(chantImage(), kChant);
    g.join("Red");
    g.join("Blue");
    g.send(1, "CMD_startgame+Red+5+60+");
    for (int i = 1; i <= 10; ++i)
        g.send(1, mywordOf(1, "chant"));
    QVERIFY(g.got(1).endsWith("CMD_allfilled+1+10+"));
    QCOMPARE(g.rules.firstFinisher(), 1);
    QVERIFY(g.withPrefix(1, "CMD_alldone").isEmpty());
    const quint64 starts = g.rules.timer1Starts();
    for (int i = 1; i <= 10; ++i)
        g.send(2, mywordOf(2, "chant"));
    QVERIFY(g.got(1).endsWith("CMD_alldone+"));
    QVERIFY(g.got(2).endsWith("CMD_alldone+"));
    QCOMPARE(g.rules.firstFinisher(), 1);
    QCOMPARE(g.rules.roundPhase(), 3);
    QCOMPARE(g.rules.countdown(), 3);
    QCOMPARE(g.rules.timer1Starts(), starts + 1); // a new second starts now

    g.tick(2);
    QVERIFY(g.withPrefix(1, "CMD_postscores").isEmpty());
    g.tick();
    QByteArray expected = "CMD_postscores+1";
    for (int i = 1; i <= 10; ++i)
        expected += "+1+0+chant";
    expected += "+1+4+25+1+2+150+1+3+150";
    for (int i = 1; i <= 10; ++i)
        expected += "+2+0+chant";
    expected += "+2+4+25+2+2+125+2+3+125";
    for (int seat = 3; seat <= 6; ++seat) {
        for (int i = 1; i <= 10; ++i)
            expected += "+" + QByteArray::number(seat) + "+1+" + g.pattern(i);
        expected += "+" + QByteArray::number(seat) + "+3+0";
    }
    for (int i = 1; i <= 10; ++i)
        expected += "+0+5+chant";
    QVERIFY(g.got(1).endsWith(expected));
    QVERIFY(g.got(2).endsWith(expected));
    QVERIFY(g.withPrefix(1, "CMD_timeup").isEmpty());
    QCOMPARE(g.rules.roundPhase(), 2);
    QCOMPARE(g.rules.countdown(), 18);
}

void GameTests::pausesFollowThePlayingSeats()
{
    for (const auto &[players, pause] : {std::pair{1, 15}, std::pair{3, 22}, std::pair{5, 26}}) {
        GameTable g(chantImage(), kChant);
        for (int i = 1; i <= players; ++i)
            g.join("P" + QByteArray::number(i));
        g.send(1, "CMD_startgame+P1+5+60+");
        g.finishPhase();
        QCOMPARE(g.rules.roundPhase(), 2);
        QCOMPARE(g.rules.countdown(), pause);
    }
    // Every seat watching: 18.
    GameTable g(chantImage(), kChant);
    g.join("Red");
    g.send(1, "CMD_startgame+Red+5+60+");
    g.send(1, "CMD_justwatch+1+1");
    QVERIFY(g.got(1).endsWith("CMD_justwatching+1+1"));
    QCOMPARE(g.rules.checkforplaying(), 0);
    g.finishPhase();
    QCOMPARE(g.rules.countdown(), 18);
    // After the pause the next round starts, and a new game clears the flag.
    g.finishPhase();
    QVERIFY(g.got(1).contains("CMD_startround+2+"));
    g.send(1, "CMD_startgame+Red+5+60+");
    QVERIFY(!g.rules.player(1).watching);
}

void GameTests::tiesExtendTheGame()
{
    GameTable g(chantImage(), kChant);
    g.join("Red");
    g.join("Blue");
    g.send(1, "CMD_startgame+Red+1+30+");
    g.finishPhase(); // round 1: nobody scores
    g.finishPhase(); // the pause: 0 to 0 is a tie
    QVERIFY(g.got(2).contains("CMD_startround+2+"));
    QVERIFY(g.withPrefix(2, "CMD_winner").isEmpty());
    QVERIFY(g.rules.gameInProgress());
    g.send(2, mywordOf(2, "chant"));
    g.finishPhase();
    g.finishPhase();
    QVERIFY(g.got(1).endsWith("CMD_winner+Blue+"));
    QCOMPARE(g.notes.last(), (Outgoing{Outgoing::Kind::GameWon, 2, "Blue"}));
    QVERIFY(!g.rules.gameInProgress());
    QVERIFY(!g.rules.timer1Active());
    QVERIFY(!g.got(1).contains("CMD_startround+3+"));
    // Totals stay until the next game.
    QCOMPARE(g.rules.player(2).total, 10);
}

void GameTests::winnerTestAndFallbackNames()
{
    GameTable g(chantImage(), kChant);
    g.join("Red");
    g.join("Blue");
    g.join("Gold");
    auto totals = [&](int a, int b, int c) {
        g.rules.player(1).total = a;
        g.rules.player(2).total = b;
        g.rules.player(3).total = c;
    };
    totals(40, 55, 55);
    QVERIFY(!g.rules.checkforwin());
    totals(55, 40, 55);
    QVERIFY(!g.rules.checkforwin());
    g.leave(3);
    totals(70, 55, 70);
    QVERIFY(g.rules.checkforwin());
    QCOMPARE(g.rules.takeOutbox().first().text, QByteArray("CMD_winner+Red+"));

    // A winner without a name is announced by the seat's fallback name.
    GameTable h(chantImage(), kChant);
    h.join("Red");
    h.join(); // seat 2, never logged in
    h.rules.player(2).total = 30;
    QVERIFY(h.rules.checkforwin());
    QCOMPARE(h.rules.takeOutbox().first().text, QByteArray("CMD_winner+Klot+"));
    for (int s = 3; s <= 6; ++s)
        h.join();
    h.rules.player(6).total = 99;
    QVERIFY(h.rules.checkforwin());
    QCOMPARE(h.rules.takeOutbox().first().text, QByteArray("CMD_winner+Krazy+"));
    // Seat 1 is the starting point even when nobody sits there; it has no
    // fallback name.
    h.leave(1);
    h.rules.player(1).total = 200;
    QVERIFY(h.rules.checkforwin());
    QCOMPARE(h.rules.takeOutbox().first().text, QByteArray("CMD_winner++"));
}

void GameTests::lateJoiners()
{
    GameTable g(chantImage(), kChant);
    g.join("Red");
    g.join("Blue");
    g.send(1, "CMD_startgame+Red+4+50+");
    g.send(1, mywordOf(1, "chant"));
    g.tick(10);
    g.leave(2);
    // A seat: its current word first, then the game's state; seat 2 always listed.
    QCOMPARE(g.join("Gold"), 2);
    const QList<QByteArray> state = g.withPrefix(2, "CMD_loadstats+");
    QCOMPARE(state, QList<QByteArray>{"CMD_loadstats+2+50+40+4+1+1+1+0+1+2+0+0"});
    QCOMPARE(g.got(2).mid(g.got(2).size() - 2),
             (QList<QByteArray>{msg::newword(2, 0, 1, g.pattern(1)), state.first()}));

    // Fill the seats so that the next connection is a spy: it gets no word.
    for (int s = 3; s <= 6; ++s)
        g.join("P" + QByteArray::number(s));
    QCOMPARE(g.join("Spy"), 7);
    QCOMPARE(g.withPrefix(7, "CMD_loadstats+"),
             QList<QByteArray>{"CMD_loadstats+7+50+40+4+1+1+1+0+1+2+0+0+3+0+0+4+0+0+5+0+0+6+0+0"});
    QVERIFY(g.withPrefix(7, "CMD_newword").isEmpty());
    // Between rounds no word is handed out, and the phase says so.
    g.finishPhase();
    g.leave(6);
    QCOMPARE(g.join("Late"), 6);
    QVERIFY(g.withPrefix(6, "CMD_loadstats+6+").value(0).contains("+4+1+2+"));
    QVERIFY(g.withPrefix(6, "CMD_newword").isEmpty());
}

void GameTests::wordsOutsideTheRoundAreIgnored()
{
    GameTable g(chantImage(), kChant);
    g.join("Red");
    const qsizetype idle = g.got(1).size();
    g.send(1, mywordOf(1, "chant")); // no game yet
    g.send(1, "CMD_pass+1+");
    QCOMPARE(g.got(1).size(), idle);
    g.send(1, "CMD_startgame+Red+5+60+");
    g.finishPhase(); // time is up; the scores show
    QVERIFY(!g.withPrefix(1, "CMD_postscores+").isEmpty());
    const qsizetype before = g.got(1).size();
    g.send(1, mywordOf(1, "chant"));
    g.send(1, "CMD_pass+1+");
    QCOMPARE(g.got(1).size(), before);
    QCOMPARE(g.rules.player(1).filled, 0);
}

void GameTests::optionsAreClamped()
{
    GameTable g(chantImage(), kChant);
    g.join("Red");
    g.send(1, "CMD_startgame+Red+abc+99999+");
    QVERIFY(g.got(1).contains("CMD_startgame+Red+abc+99999++"));
    QCOMPARE(g.rules.roundsPerGame(), 5);
    QCOMPARE(g.rules.secondsPerRound(), 3600);
    QCOMPARE(g.rules.countdown(), 3604);
    g.send(1, "CMD_startgame+Red+50+x+");
    QCOMPARE(g.rules.roundsPerGame(), 20);
    QCOMPARE(g.rules.secondsPerRound(), 60);
    g.send(1, "CMD_startgame+Red+0+-5+");
    QCOMPARE(g.rules.roundsPerGame(), 1);
    QCOMPARE(g.rules.secondsPerRound(), 1);
    // A restart during a game starts a new game: totals go back to 0.
    g.rules.player(1).total = 77;
    g.send(1, "CMD_startgame+Red+3+30+");
    QCOMPARE(g.rules.player(1).total, 0);
    QCOMPARE(g.rules.round(), 1);
}

void GameTests::gamesPastTheBoard()
{
    GameTable g(chantImage(), "about\nchant\n");
    g.join("Red");
    g.join("Blue");
    g.send(1, "CMD_startgame+Red+20+1+");
    auto wholeBoard = [&] {
        QByteArray all;
        for (int r = 1; r <= 20; ++r)
            for (int i = 1; i <= 10; ++i)
                all += g.rules.board(r, i).target + g.rules.board(r, i).pattern;
        return all;
    };
    const QByteArray firstBoard = wholeBoard();
    // Nobody plays: every round is a tie, until round 21 needs a new board.
    for (int guard = 0; guard < 20000 && !g.got(1).contains("CMD_startround+21+"); ++guard)
        g.tick();
    QVERIFY(g.got(1).contains("CMD_startround+21+"));
    QCOMPARE(g.rules.round(), 20);
    QVERIFY(g.got(1).endsWith(msg::nextplayer(1, 1, g.rules.board(20, 1).pattern)));
    QVERIFY(firstBoard != wholeBoard());
    QVERIFY(g.rules.gameInProgress());
}

void GameTests::aGameOverSockets()
{
    // The server carries the rules' answers and runs their round timer.
    const TDictn spell(chantImage());
    const TargetList words(kChant);
    TServer server(&spell, &words);
    server.setSecondLength(3600 * 1000);
    server.startListening(QStringLiteral("0"), QHostAddress::LocalHost);
    QSignalSpy started(&server, &TServer::gameStarted);
    QSignalSpy won(&server, &TServer::gameWon);
    TestClient red(server.listeningPort());
    TestClient blue(server.listeningPort());
    QCOMPARE(red.login("Red"), 1);
    QVERIFY(red.waitFor("CMD_newplayerinfo+1+Red"));
    QCOMPARE(blue.login("Blue"), 2);
    QVERIFY(red.waitFor("CMD_newplayerinfo+2+Blue"));
    red.send("CMD_startgame+Red+1+30+");
    QVERIFY(blue.waitFor("CMD_startround+1+"));
    QVERIFY(blue.waitFor(msg::nextplayer(2, 1, server.board(1, 1).pattern)));
    QCOMPARE(started.size(), 1);
    QCOMPARE(started.first(), (QList<QVariant>{1, 30}));
    QVERIFY(server.timer1Active());
    blue.send(mywordOf(2, "chant"));
    QVERIFY(blue.waitFor(msg::newword(2, 1, 2, server.board(1, 2).pattern)));
    QVERIFY(red.waitFor("CMD_hiscount+2+1+"));
    for (int guard = 0; guard < 100 && server.gameInProgress(); ++guard)
        server.timer1Timer();
    QVERIFY(red.waitFor("CMD_winner+Blue+"));
    QCOMPARE(red.withPrefix("CMD_timeup"), QList<QByteArray>{"CMD_timeup+1+"});
    QCOMPARE(blue.withPrefix("CMD_timeup"), QList<QByteArray>{"CMD_timeup+2+"});
    QVERIFY(blue.waitForPrefix("CMD_postscores+0+").contains("+2+0+chant+"));
    QCOMPARE(won.size(), 1);
    QCOMPARE(won.first().first().toByteArray(), QByteArray("Blue"));
    QVERIFY(!server.timer1Active());
}

QTEST_GUILESS_MAIN(GameTests)
#include "tst_game.moc"
