// The client's models without a window or a socket: the round, the seats, the
// score report, and what the narrator says of them to a screen reader.
#include "narrator.h"
#include "roundmodel.h"
#include "scorereport.h"
#include "seatsmodel.h"

#include <QSignalSpy>
#include <QTest>

class ModelTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roundTypingAndCountdown();
    void seatsArrivalsAndMarks();
    void scoreReport();
    void narratorThroughARound();
    void narratorOnDemand();
};

void ModelTests::roundTypingAndCountdown()
{
    RoundModel r;
    QVERIFY(r.chatMode());
    QCOMPARE(r.roundText(), QStringLiteral("Round: 0 of 0"));
    r.startGame(QStringLiteral("5"), 60);
    QCOMPARE(r.barStep(), 4);
    r.setRound(QStringLiteral("2"));
    r.startGame(QStringLiteral("9"), 0); // the line keeps the total the round began with
    QCOMPARE(r.roundText(), QStringLiteral("Round: 2 of 5"));
    QCOMPARE(r.barStep(), 0);

    QVERIFY(!r.eraseLetter());
    for (int tile : {3, 1, 20, 19, 5})
        QVERIFY(r.typeLetter(tile));
    QVERIFY(!r.typeLetter(1)); // a sixth letter is not taken
    QVERIFY(r.wordComplete());
    QCOMPARE(r.letters(), (std::array<int, 5>{3, 1, 20, 19, 5}));
    QVERIFY(r.eraseLetter());
    QCOMPARE(r.letters(), (std::array<int, 5>{3, 1, 20, 19, 0}));
    r.clearLetters();
    QCOMPARE(r.letterCount(), 0);

    r.setInputOwner(2);
    QVERIFY(r.boardOpenFor(2) && !r.boardOpenFor(3));
    r.setInputOwner(0);
    QVERIFY(!r.boardOpenFor(0));

    QSignalSpy ticks(&r, &RoundModel::ticked);
    r.startCountdown(2);
    QCOMPARE(ticks.count(), 0); // shown from the first tick
    r.tick();
    r.tick();
    r.tick();
    QCOMPARE(r.secondsLeft(), 0);
    QCOMPARE(ticks.count(), 3);
    QSignalSpy modes(&r, &RoundModel::chatModeChanged);
    r.setChatMode(true); // no change, no signal
    r.setChatMode(false);
    QCOMPARE(modes.count(), 1);

    // A game runs from its start to its winner; a new session forgets it all.
    r.startGame(QStringLiteral("5"), 60);
    QVERIFY(r.gameRunning());
    r.endGame();
    QVERIFY(!r.gameRunning());
    r.startGame(QStringLiteral("5"), 60);
    r.setRound(QStringLiteral("2"));
    r.typeLetter(3);
    r.reset();
    QVERIFY(!r.gameRunning());
    QCOMPARE(r.roundText(), QStringLiteral("Round: 0 of 0"));
    QCOMPARE(r.letterCount(), 0);
    QVERIFY(r.chatMode());
    QCOMPARE(r.barStep(), 0);
}

void ModelTests::seatsArrivalsAndMarks()
{
    SeatsModel s;
    QSignalSpy changed(&s, &SeatsModel::seatChanged);
    QCOMPARE(s.shownName(3), QStringLiteral("<Waiting>"));
    s.arrive(3, QString()); // a seat taken under an empty name is taken
    QVERIFY(s.taken(3));
    QCOMPARE(s.shownName(3), QString());
    s.arrive(7, QStringLiteral("Eve")); // no seat
    s.arrive(0, QStringLiteral("Nobody"));
    QCOMPARE(changed.count(), 1);
    s.setWatching(3, true);
    s.leave(3);
    QVERIFY(!s.taken(3) && !s.watching(3));

    s.setTotal(2, QStringLiteral("40"));
    s.setWords(2, QStringLiteral("3"));
    s.resetScores();
    QCOMPARE(s.total(2), QStringLiteral("0"));
    QCOMPARE(s.words(2), QString());

    s.addWatcher(8, QStringLiteral("Eve"));
    QVERIFY(!s.removeWatcher(8, QStringLiteral("Mallory")));
    QVERIFY(s.removeWatcher(8, QStringLiteral("EVE")));
    QVERIFY(s.watchers().isEmpty());

    s.swapColumns(1, 4);
    QCOMPARE(s.column(1), 4);
    QCOMPARE(s.column(4), 1);
    QCOMPARE(SeatsModel::seatHint(4), QStringLiteral("Kling"));

    // A new session in the same window starts from empty seats.
    s.setLocalSlot(2);
    s.arrive(2, QStringLiteral("Red"));
    s.setTotal(2, QStringLiteral("35"));
    s.setWatching(2, true);
    s.setLocalWatching(true);
    s.addWatcher(7, QStringLiteral("Eve"));
    s.reset();
    QVERIFY(!s.taken(2) && !s.watching(2) && !s.localWatching());
    QCOMPARE(s.total(2), QStringLiteral("0"));
    QCOMPARE(s.localSlot(), 0);
    QVERIFY(s.watchers().isEmpty());
}

namespace {
// A score report as the round controller reads it from the decoded message.
ScoreReport scores(const QByteArray &args)
{
    const vexlo::DecodedMessage d = vexlo::decodeServerMessage("CMD_postscores+" + args);
    return ScoreReport::from(std::get<vexlo::msg::PostScores>(*d.message), d);
}
} // namespace

void ModelTests::scoreReport()
{
    const ScoreReport r = scores("3+1+0+cat+1+1+dog+1+2+12+1+3+40+1+4+1+9+3+7+0+5+arose");
    QCOMPARE(r.fastest, 3);
    QCOMPARE(r.seats[1].words, QStringList({QStringLiteral("CAT"), QStringLiteral("dog")}));
    QCOMPARE(r.seats[1].roundScore, std::optional<QString>(QStringLiteral("12")));
    QCOMPARE(r.seats[1].total, std::optional<QString>(QStringLiteral("40")));
    QVERIFY(r.seats[1].bonus);
    QVERIFY(!r.seats[2].total);
    QCOMPARE(r.originals, QStringList{QStringLiteral("arose")}); // slot 9 left out, kind 5 kept
    QVERIFY(!r.error);
    QCOMPARE(scores("x+").fastest, 0);

    const ScoreReport bad = scores("0+1+3+40+x+3+50");
    QVERIFY(bad.error);
    QCOMPARE(bad.seats[1].total, std::optional<QString>(QStringLiteral("40"))); // what came before stays
}

namespace {

// What the narrator said in one turn of the event loop.
QStringList said(QSignalSpy &spy)
{
    QCoreApplication::processEvents();
    QStringList out;
    for (const QList<QVariant> &args : spy)
        out << args.at(0).toString();
    spy.clear();
    return out;
}

} // namespace

void ModelTests::narratorThroughARound()
{
    RoundModel r;
    SeatsModel seats;
    seats.setLocalSlot(1);
    seats.arrive(1, QStringLiteral("You"));
    seats.arrive(2, QStringLiteral("Ada (bot)"));
    Narrator n(r, seats);
    QSignalSpy news(&n, &Narrator::news);

    // The round's messages of one turn make one line: round, word, pattern.
    r.startGame(QStringLiteral("3"), 35);
    r.setRound(QStringLiteral("1"));
    r.setPhase(1);
    QVERIFY(said(news).isEmpty()); // the round waits for its first word
    r.setInputOwner(1);
    r.clearLetters();
    r.setWord(1, "g___y");
    r.setStatus(QStringLiteral("Type a Word - Press ENTER to submit your word."));
    r.setChatMode(false);
    QCOMPARE(said(news), QStringList{QStringLiteral("Round 1 of 3. First word: G, blank, blank, blank, Y.")});

    // Accepted, and the next pattern; the cleared letters of the new word are not a clear.
    r.setStatus(QStringLiteral("Checking Word..."));
    r.markWordDone(1);
    r.clearLetters();
    r.setWord(2, "_ro_e");
    r.setStatus(QStringLiteral("Create Another Word"));
    QCOMPARE(said(news), QStringList{QStringLiteral("Accepted. Second word: blank, R, O, blank, E.")});
    QCOMPARE(r.wordsDone(), 1);

    // The same refusal twice is said twice; a clear says the pattern again.
    r.setStatus(QStringLiteral("Invalid Word"));
    QCOMPARE(said(news), QStringList{QStringLiteral("Invalid Word.")});
    r.setStatus(QStringLiteral("Invalid Word"));
    r.clearLetters(); // auto erase
    QCOMPARE(said(news), QStringList{QStringLiteral("Invalid Word. Cleared. Second word: blank, R, O, blank, E.")});
    r.typeLetter(1);
    r.eraseLetter();
    QVERIFY(said(news).isEmpty()); // the letters are the screen reader's own echo
    // A pass: the next word alone.
    r.clearLetters();
    r.setWord(8, "c_a_t");
    QCOMPARE(said(news), QStringList{QStringLiteral("Eighth word: C, blank, A, blank, T.")});

    // The countdown at a few moments only.
    r.startCountdown(35);
    QStringList countdown;
    for (int i = 0; i < 40; ++i) {
        r.tick();
        countdown << said(news);
    }
    QCOMPARE(countdown, (QStringList{QStringLiteral("30 seconds left."), QStringLiteral("10 seconds left.")}));

    r.setPhase(2);
    r.setStatus(QStringLiteral("Time is Up."));
    QCOMPARE(said(news), QStringList{QStringLiteral("Time is Up.")});
    n.scoresPosted(scores("2+1+1+cater+1+2+15+1+3+15+1+4+1+2+2+10+2+3+10+0+5+cater"));
    QCOMPARE(said(news), QStringList{QStringLiteral(
                             "Scores of round 1: You 15, total 15, bonus; Ada (bot) 10, total 10, first to complete the list.")});
    r.setStatus(QStringLiteral("Game Over!"));
    n.winnerTold(QStringLiteral("You have Won the Game!"));
    QCOMPARE(said(news), QStringList{QStringLiteral("You have Won the Game!")});
    // A new session says nothing.
    r.reset();
    QVERIFY(said(news).isEmpty());
}

void ModelTests::narratorOnDemand()
{
    RoundModel r;
    SeatsModel seats;
    seats.setLocalSlot(1);
    Narrator n(r, seats);
    QCOMPARE(n.whereAmI(), QStringLiteral("No game is running."));
    QCOMPARE(n.timeLeft(), QStringLiteral("No time is running."));
    QCOMPARE(n.scores(), QStringLiteral("No players."));

    seats.arrive(1, QStringLiteral("You"));
    seats.arrive(3, QStringLiteral("Bram"));
    seats.setTotal(3, QStringLiteral("20"));
    seats.setWords(1, QStringLiteral("1"));
    seats.setWords(3, QStringLiteral("2"));
    seats.setWatching(3, true);
    r.startGame(QStringLiteral("2"), 60);
    r.setRound(QStringLiteral("2"));
    r.setPhase(1);
    r.setInputOwner(1);
    r.setWord(3, "st__e");
    r.markWordDone(1);
    r.typeLetter(19);
    r.typeLetter(20);
    QCOMPARE(n.whereAmI(),
             QStringLiteral("Round 2 of 2. Third word: S, T, blank, blank, E. Your word: S, T. 1 of 10 done."));
    r.startCountdown(42);
    QCOMPARE(n.timeLeft(), QStringLiteral("42 seconds left."));
    QCOMPARE(n.scores(), QStringLiteral("Scores: You 0, 1 word this round; Bram 20, 2 words this round, watching."));
    // The list done: the board is closed, the status says so.
    r.setInputOwner(0);
    r.setStatus(QStringLiteral("You guessed all the words!"));
    QCOMPARE(n.whereAmI(), QStringLiteral("Round 2 of 2. You guessed all the words! 1 of 10 done."));
}

QTEST_GUILESS_MAIN(ModelTests)
#include "tst_models.moc"
