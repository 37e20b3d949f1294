// The round engine, judging and scoring, with the round timer driven by hand.
#include "gametable.h"

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
        g.server.random().setSeed(seed);
        g.server.setboards();
        if (g.server.board(1, 1).pattern == pattern) {
            g.server.random().setSeed(seed);
            return seed;
        }
    }
    return 0;
}

QByteArray pattern(const GameTable &g, int index)
{
    return g.server.board(std::min(g.server.round(), 20), index).pattern;
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
    TServer server(&spell, &words);
    // Per word: the target's index, then its shape. Seed 12345 draws index 947
    // (gummy) shape 1, index 196 (blimp) shape 2, index 1558 (ponds) shape 1.
    server.random().setSeed(12345);
    server.setboards();
    QCOMPARE(server.board(1, 1).target, QByteArray("gummy"));
    QCOMPARE(server.board(1, 1).pattern, QByteArray("g___y"));
    QCOMPARE(server.board(1, 2).target, QByteArray("blimp"));
    QCOMPARE(server.board(1, 2).pattern, QByteArray("_l_m_"));
    QCOMPARE(server.board(1, 3).pattern, QByteArray("p___s"));

    int twoBlanks = 0;
    for (int round = 1; round <= 20; ++round) {
        for (int i = 1; i <= 10; ++i) {
            const tword &w = server.board(round, i);
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
    const QByteArray first = server.board(7, 3).target + server.board(20, 10).pattern;
    server.random().setSeed(12345);
    server.setboards();
    QCOMPARE(server.board(7, 3).target + server.board(20, 10).pattern, first);
    server.setboards();
    QVERIFY(server.board(1, 1).target != "gummy" || server.board(1, 2).target != "blimp");
}

void GameTests::startHandsOutFirstWords()
{
    GameTable g(chantImage(), kChant);
    for (int i = 1; i <= 6; ++i)
        g.join("P" + QByteArray::number(i));
    TestClient &spy = g.join("Spy");
    QCOMPARE(spy.waitForSlot(), 7);
    QVERIFY(g.play(g.client(1), "CMD_startgame+P1+3+45+"));
    QVERIFY(g.server.gameInProgress());
    for (int s = 1; s <= 7; ++s) {
        TestClient &c = g.client(s);
        QVERIFY(c.waitFor("CMD_startgame+P1+3+45++"));
        QVERIFY(c.waitFor("CMD_startround+1+"));
    }
    for (int s = 1; s <= 6; ++s)
        QVERIFY(g.client(s).waitFor(msg::nextplayer(s, 1, pattern(g, 1))));
    QVERIFY(spy.waitFor("CMD_nextplayer+1+0+*+"));
    QCOMPARE(g.server.roundPhase(), 1);
    QCOMPARE(g.server.countdown(), 49);
    QVERIFY(g.server.timer1Active());
    // A word from the spy slot is not a seat's word.
    QVERIFY(g.play(spy, mywordOf(7, "chant")));
    QVERIFY(spy.withPrefix("CMD_invalid").isEmpty() && spy.withPrefix("CMD_hiscount").isEmpty());
}

void GameTests::judgingAgainstDictionaryAndPattern()
{
    GameTable g(chantImage(), kChant);
    TestClient &red = g.join("Red");
    TestClient &blue = g.join("Blue");
    TestClient &gold = g.join("Gold");
    QVERIFY(seedWithFirstPattern(g, "c_a_t"));
    QVERIFY(g.play(red, "CMD_startgame+Red+5+60+"));
    QCOMPARE(pattern(g, 1), QByteArray("c_a_t"));

    QVERIFY(g.play(red, mywordOf(1, "cleat")));
    QVERIFY(red.waitFor("CMD_invalid+1+1+"));
    QVERIFY(g.play(red, mywordOf(1, "xqzvj")));
    QVERIFY(red.waitFor("CMD_invalid+1+2+"));
    // A word that is not five letters does not fit, even when it is a word.
    QVERIFY(g.play(red, "CMD_myword+1+1+3+2+8+3+1+4+14+5+20+6+19"));
    QVERIFY(red.waitFor("CMD_invalid+1+1+"));
    QTRY_COMPARE(red.count("CMD_invalid+1+1+"), 2);
    QCOMPARE(g.server.player(1).filled, 0);

    QVERIFY(g.play(red, mywordOf(1, "chart")));
    QVERIFY(red.waitFor("CMD_hiscount+1+1+"));
    QVERIFY(blue.waitFor("CMD_hiscount+1+1+"));
    QVERIFY(red.waitFor(msg::newword(1, 1, 2, pattern(g, 2))));
    QVERIFY(g.play(blue, mywordOf(2, "chant")));
    QVERIFY(g.play(gold, mywordOf(3, "coast")));
    QVERIFY(gold.waitFor("CMD_hiscount+3+1+"));

    g.finishPhase();
    for (int s = 1; s <= 3; ++s)
        QVERIFY(g.client(s).waitFor(msg::timeup(s)));
    const QByteArray scores = red.waitForPrefix("CMD_postscores+0+");
    QVERIFY(scores.contains("+1+1+chart+"));
    QVERIFY(scores.contains("+1+2+5+1+3+5+"));
    QVERIFY(scores.contains("+2+0+chant+"));
    QVERIFY(scores.contains("+2+2+10+2+3+10+"));
    QVERIFY(scores.contains("+3+1+coast+"));
    QCOMPARE(g.server.player(2).total, 10);
    QCOMPARE(g.server.player(2).roundpoints, 10);
}

void GameTests::passesWrapAround()
{
    GameTable g(chantImage(), kChant);
    TestClient &red = g.join("Red");
    g.join("Blue"); // still playing, so the round goes on when Red is done
    QVERIFY(g.play(red, "CMD_startgame+Red+5+60+"));
    QVERIFY(g.play(red, "CMD_pass+1+"));
    QVERIFY(red.waitFor(msg::newword(1, 0, 2, pattern(g, 2))));
    // Fill 2..6, pass on 7, fill 8..10: the only blank word left is 7.
    for (int i = 2; i <= 6; ++i)
        QVERIFY(g.play(red, mywordOf(1, "chant")));
    QVERIFY(g.play(red, "CMD_pass+1+"));
    QVERIFY(red.waitFor(msg::newword(1, 0, 8, pattern(g, 8))));
    for (int i = 8; i <= 10; ++i)
        QVERIFY(g.play(red, mywordOf(1, "chant")));
    QVERIFY(red.waitFor(msg::newword(1, 10, 1, pattern(g, 1))));
    QVERIFY(g.play(red, mywordOf(1, "chant")));
    QVERIFY(red.waitFor(msg::newword(1, 1, 7, pattern(g, 7))));
    // Passing on the only blank word gives it back.
    QVERIFY(g.play(red, "CMD_pass+1+"));
    QVERIFY(red.waitFor(msg::newword(1, 0, 7, pattern(g, 7))));
    QVERIFY(g.play(red, mywordOf(1, "chant")));
    QVERIFY(red.waitFor("CMD_allfilled+1+7+"));
    QVERIFY(g.play(red, "CMD_pass+1+"));
    QVERIFY(red.waitFor("CMD_allfilled+1+0+"));
    // Nothing is left to fill: another word is ignored and counts nothing.
    const qsizetype before = red.got.size();
    QVERIFY(g.play(red, mywordOf(1, "chant")));
    QTest::qWait(20);
    QCOMPARE(red.got.size(), before);
    QCOMPARE(g.server.player(1).filled, 10);
    // Out of range, another seat's, or not a number: ignored.
    QVERIFY(g.play(red, "CMD_pass+7+"));
    QVERIFY(g.play(red, "CMD_pass+2+"));
    QVERIFY(g.play(red, "CMD_pass+x+"));
    QTest::qWait(20);
    QCOMPARE(red.got.size(), before);
}

void GameTests::bonusesAndTheAllDonePath()
{
    GameTable g(chantImage(), kChant);
    TestClient &red = g.join("Red");
    TestClient &blue = g.join("Blue");
    QVERIFY(g.play(red, "CMD_startgame+Red+5+60+"));
    for (int i = 1; i <= 10; ++i)
        QVERIFY(g.play(red, mywordOf(1, "chant")));
    QVERIFY(red.waitFor("CMD_allfilled+1+10+"));
    QCOMPARE(g.server.firstFinisher(), 1);
    QVERIFY(red.withPrefix("CMD_alldone").isEmpty());
    for (int i = 1; i <= 10; ++i)
        QVERIFY(g.play(blue, mywordOf(2, "chant")));
    QVERIFY(red.waitFor("CMD_alldone+"));
    QVERIFY(blue.waitFor("CMD_alldone+"));
    QCOMPARE(g.server.firstFinisher(), 1);
    QCOMPARE(g.server.roundPhase(), 3);
    QCOMPARE(g.server.countdown(), 3);

    g.tick(2);
    QVERIFY(red.withPrefix("CMD_postscores").isEmpty());
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
            expected += "+" + QByteArray::number(seat) + "+1+" + pattern(g, i);
        expected += "+" + QByteArray::number(seat) + "+3+0";
    }
    for (int i = 1; i <= 10; ++i)
        expected += "+0+5+chant";
    QVERIFY(red.waitFor(expected));
    QVERIFY(blue.waitFor(expected));
    QVERIFY(red.withPrefix("CMD_timeup").isEmpty());
    QCOMPARE(g.server.roundPhase(), 2);
    QCOMPARE(g.server.countdown(), 18);
}

void GameTests::pausesFollowThePlayingSeats()
{
    for (const auto &[players, pause] : {std::pair{1, 15}, std::pair{3, 22}, std::pair{5, 26}}) {
        GameTable g(chantImage(), kChant);
        for (int i = 1; i <= players; ++i)
            g.join("P" + QByteArray::number(i));
        QVERIFY(g.play(g.client(1), "CMD_startgame+P1+5+60+"));
        g.finishPhase();
        QCOMPARE(g.server.roundPhase(), 2);
        QCOMPARE(g.server.countdown(), pause);
    }
    // Every seat watching: 18.
    GameTable g(chantImage(), kChant);
    TestClient &red = g.join("Red");
    QVERIFY(g.play(red, "CMD_startgame+Red+5+60+"));
    QVERIFY(g.play(red, "CMD_justwatch+1+1"));
    QVERIFY(red.waitFor("CMD_justwatching+1+1"));
    QCOMPARE(g.server.checkforplaying(), 0);
    g.finishPhase();
    QCOMPARE(g.server.countdown(), 18);
    // After the pause the next round starts, and a new game clears the flag.
    g.finishPhase();
    QVERIFY(red.waitFor("CMD_startround+2+"));
    QVERIFY(g.play(red, "CMD_startgame+Red+5+60+"));
    QVERIFY(!g.server.player(1).watching);
}

void GameTests::tiesExtendTheGame()
{
    GameTable g(chantImage(), kChant);
    TestClient &red = g.join("Red");
    TestClient &blue = g.join("Blue");
    QVERIFY(g.play(red, "CMD_startgame+Red+1+30+"));
    g.finishPhase(); // round 1: nobody scores
    g.finishPhase(); // the pause: 0 to 0 is a tie
    QVERIFY(blue.waitFor("CMD_startround+2+"));
    QVERIFY(blue.withPrefix("CMD_winner").isEmpty());
    QVERIFY(g.server.gameInProgress());
    QVERIFY(g.play(blue, mywordOf(2, "chant")));
    g.finishPhase();
    g.finishPhase();
    QVERIFY(red.waitFor("CMD_winner+Blue+"));
    QVERIFY(!g.server.gameInProgress());
    QVERIFY(!g.server.timer1Active());
    QCOMPARE(red.count("CMD_startround+3+"), 0);
    // Totals stay until the next game.
    QCOMPARE(g.server.player(2).total, 10);
}

void GameTests::winnerTestAndFallbackNames()
{
    GameTable g(chantImage(), kChant);
    g.join("Red");
    g.join("Blue");
    g.join("Gold");
    auto totals = [&](int a, int b, int c) {
        g.server.player(1).total = a;
        g.server.player(2).total = b;
        g.server.player(3).total = c;
    };
    totals(40, 55, 55);
    QVERIFY(!g.server.checkforwin());
    totals(55, 40, 55);
    QVERIFY(!g.server.checkforwin());
    g.client(3).sock.disconnectFromHost();
    QTRY_VERIFY(!g.server.player(3).connected);
    totals(70, 55, 70);
    QVERIFY(g.server.checkforwin());
    QVERIFY(g.client(2).waitFor("CMD_winner+Red+"));

    // A winner without a name is announced by the seat's fallback name.
    GameTable h(chantImage(), kChant);
    h.join("Red");
    h.join(); // seat 2, never logged in
    h.server.player(2).total = 30;
    QVERIFY(h.server.checkforwin());
    QVERIFY(h.client(1).waitFor("CMD_winner+Klot+"));
    for (int s = 3; s <= 6; ++s)
        h.join();
    h.server.player(6).total = 99;
    QVERIFY(h.server.checkforwin());
    QVERIFY(h.client(1).waitFor("CMD_winner+Krazy+"));
    // Seat 1 is the starting point even when nobody sits there.
    h.client(1).sock.disconnectFromHost();
    QTRY_VERIFY(!h.server.player(1).connected);
    h.server.player(1).total = 200;
    QVERIFY(h.server.checkforwin());
    QVERIFY(h.client(2).waitFor("CMD_winner+Klot+") || h.client(2).count("CMD_winner+Krazy+") > 0);
}

void GameTests::lateJoiners()
{
    GameTable g(chantImage(), kChant);
    TestClient &red = g.join("Red");
    TestClient &blue = g.join("Blue");
    QVERIFY(g.play(red, "CMD_startgame+Red+4+50+"));
    QVERIFY(g.play(red, mywordOf(1, "chant")));
    g.tick(10);
    blue.sock.disconnectFromHost();
    QTRY_VERIFY(!g.server.player(2).connected);
    // A seat: its current word first, then the game's state; seat 2 always listed.
    TestClient &gold = g.join("Gold");
    QCOMPARE(gold.waitForSlot(), 2);
    const QByteArray state = gold.waitForPrefix("CMD_loadstats+");
    QCOMPARE(state, QByteArray("CMD_loadstats+2+50+40+4+1+1+1+0+1+2+0+0"));
    const qsizetype wordAt = gold.got.indexOf(msg::newword(2, 0, 1, pattern(g, 1)));
    QVERIFY(wordAt >= 0 && wordAt < gold.got.indexOf(state));

    // Fill the seats so that the next connection is a spy: it gets no word.
    for (int s = 3; s <= 6; ++s)
        g.join("P" + QByteArray::number(s));
    TestClient &spy = g.join("Spy");
    QCOMPARE(spy.waitForSlot(), 7);
    QCOMPARE(spy.waitForPrefix("CMD_loadstats+"),
             QByteArray("CMD_loadstats+7+50+40+4+1+1+1+0+1+2+0+0+3+0+0+4+0+0+5+0+0+6+0+0"));
    QVERIFY(spy.withPrefix("CMD_newword").isEmpty());
    // Between rounds no word is handed out, and the phase says so.
    g.finishPhase();
    g.client(6).sock.disconnectFromHost();
    QTRY_VERIFY(!g.server.player(6).connected);
    TestClient &late = g.join("Late");
    QCOMPARE(late.waitForSlot(), 6);
    QVERIFY(late.waitForPrefix("CMD_loadstats+6+").contains("+4+1+2+"));
    QVERIFY(late.withPrefix("CMD_newword").isEmpty());
}

void GameTests::wordsOutsideTheRoundAreIgnored()
{
    GameTable g(chantImage(), kChant);
    TestClient &red = g.join("Red");
    QVERIFY(g.play(red, mywordOf(1, "chant"))); // no game yet
    QVERIFY(g.play(red, "CMD_pass+1+"));
    QTest::qWait(20);
    QVERIFY(red.withPrefix("CMD_hiscount").isEmpty() && red.withPrefix("CMD_newword").isEmpty());
    QVERIFY(g.play(red, "CMD_startgame+Red+5+60+"));
    g.finishPhase(); // time is up; the scores show
    QVERIFY(!red.waitForPrefix("CMD_postscores+").isEmpty());
    const qsizetype before = red.got.size();
    QVERIFY(g.play(red, mywordOf(1, "chant")));
    QVERIFY(g.play(red, "CMD_pass+1+"));
    QTest::qWait(20);
    QCOMPARE(red.got.size(), before);
    QCOMPARE(g.server.player(1).filled, 0);
}

void GameTests::optionsAreClamped()
{
    GameTable g(chantImage(), kChant);
    TestClient &red = g.join("Red");
    QVERIFY(g.play(red, "CMD_startgame+Red+abc+99999+"));
    QVERIFY(red.waitFor("CMD_startgame+Red+abc+99999++"));
    QCOMPARE(g.server.roundsPerGame(), 5);
    QCOMPARE(g.server.secondsPerRound(), 3600);
    QCOMPARE(g.server.countdown(), 3604);
    QVERIFY(g.play(red, "CMD_startgame+Red+50+x+"));
    QCOMPARE(g.server.roundsPerGame(), 20);
    QCOMPARE(g.server.secondsPerRound(), 60);
    QVERIFY(g.play(red, "CMD_startgame+Red+0+-5+"));
    QCOMPARE(g.server.roundsPerGame(), 1);
    QCOMPARE(g.server.secondsPerRound(), 1);
    // A restart during a game starts a new game: totals go back to 0.
    g.server.player(1).total = 77;
    QVERIFY(g.play(red, "CMD_startgame+Red+3+30+"));
    QCOMPARE(g.server.player(1).total, 0);
    QCOMPARE(g.server.round(), 1);
}

void GameTests::gamesPastTheBoard()
{
    const TDictn spell(chantImage());
    const TargetList words("about\nchant\n");
    TServer server(&spell, &words);
    server.setSecondLength(3600 * 1000);
    server.startListening(QStringLiteral("0"));
    TestClient red(server.listeningPort());
    TestClient blue(server.listeningPort());
    red.login("Red");
    blue.login("Blue");
    QVERIFY(blue.waitFor("CMD_newplayerinfo+2+Blue"));
    red.send("CMD_startgame+Red+20+1+");
    QVERIFY(red.waitFor("CMD_startround+1+"));
    auto wholeBoard = [&] {
        QByteArray all;
        for (int r = 1; r <= 20; ++r)
            for (int i = 1; i <= 10; ++i)
                all += server.board(r, i).target + server.board(r, i).pattern;
        return all;
    };
    const QByteArray firstBoard = wholeBoard();
    // Nobody plays: every round is a tie, until round 21 needs a new board.
    for (int guard = 0; guard < 20000 && !red.got.contains("CMD_startround+21+"); ++guard) {
        server.timer1Timer();
        QCoreApplication::processEvents();
    }
    QVERIFY(red.waitFor("CMD_startround+21+"));
    QCOMPARE(server.round(), 20);
    QVERIFY(red.waitFor(msg::nextplayer(1, 1, server.board(20, 1).pattern)));
    QVERIFY(firstBoard != wholeBoard());
    QVERIFY(server.gameInProgress());
}

QTEST_GUILESS_MAIN(GameTests)
#include "tst_game.moc"
