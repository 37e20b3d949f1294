// The round controller without a window: a game's start and its rounds, words
// accepted, passed and refused, the end of a list and of a round, the scores,
// the winner with the tally's record, and the catch-up of a late arrival.
#include "core.h"

#include <QSignalSpy>

using namespace vexlo;

namespace {

// The core with its board open on word 1 of a pattern, sounds and lines forgotten.
struct Open : Core
{
    explicit Open(int slot = 3, const QByteArray &pattern = "c_a_t") : Core(slot)
    {
        feed("CMD_nextplayer+" + QByteArray::number(slot) + "+1+" + pattern + '+');
        sounds.clear();
        lines.clear();
    }
    void type(const char *word)
    {
        for (const char *c = word; *c; ++c)
            round.key(*c - 'a' + 'A');
    }
};

int checks(const RoundModel &m)
{
    int n = 0;
    for (int i = 1; i <= 10; ++i)
        n += m.checked(i) ? 1 : 0;
    return n;
}

} // namespace

class RoundControllerTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { env = std::make_unique<TestEnvironment>(); }
    void init() { env->errors.clear(); }

    void gameStartAndRounds();
    void acceptedPassedAndRefusedWords();
    void listComplete();
    void endOfTheRound();
    void scores();
    void winnerAndTheTally();
    void lateArrival();
    void lettersBackspaceAndShortWords();
    void closedBoardTakesNoKeys();
    void countdownBarStep();

private:
    std::unique_ptr<TestEnvironment> env;
};

void RoundControllerTests::gameStartAndRounds()
{
    Core k(1);
    const RoundModel &m = k.round.model();
    k.seats.model().setTotal(2, QStringLiteral("45"));
    k.seats.model().setLocalWatching(true);
    QSignalSpy started(&k.round, &RoundController::gameStarted);
    k.feed("CMD_startgame+Red+5+60++");
    QCOMPARE(started.count(), 1);
    QCOMPARE(k.lines.last(), QStringLiteral("Red has started a game."));
    QVERIFY(!k.seats.model().localWatching());
    QCOMPARE(k.seats.model().total(2), QStringLiteral("0"));
    QCOMPARE(m.roundText(), QStringLiteral("Round: 0 of 0")); // until the first round
    QCOMPARE(m.roundTotal(), QStringLiteral("5"));
    QCOMPARE(m.creationTime(), 60);
    QVERIFY(!k.round.countingDown());

    QSignalSpy roundStarted(&k.round, &RoundController::roundStarted);
    k.feed("CMD_startround+1+");
    QCOMPARE(roundStarted.count(), 1);
    QCOMPARE(m.roundText(), QStringLiteral("Round: 1 of 5"));
    QVERIFY(k.round.countingDown());
    QCOMPARE(m.secondsLeft(), 60);
    // The turn sound follows the option.
    k.feed("CMD_nextplayer+1+1+c_a_t+");
    QCOMPARE(m.inputOwner(), 1);
    QVERIFY(m.buttonsShown());
    QCOMPARE(k.sounds.last(), QStringLiteral("turn"));
    k.preferences.setTurnSound(1);
    k.feed("CMD_nextplayer+1+1+c_a_t+");
    QCOMPARE(k.sounds.last(), QStringLiteral("turnnew"));
    // A tie plays on: the round goes past the total.
    k.feed("CMD_startround+6+");
    QCOMPARE(m.roundText(), QStringLiteral("Round: 6 of 5"));
    QVERIFY(env->errors.isEmpty());
}

void RoundControllerTests::acceptedPassedAndRefusedWords()
{
    Open k(3);
    const RoundModel &m = k.round.model();
    k.type("chant");
    k.round.key(RoundController::KeyEnter);
    QCOMPARE(k.sent(), QByteArray("CMD_myword+3+1+3+2+8+3+1+4+14+5+20"));
    QCOMPARE(m.inputOwner(), 0);
    k.sounds.clear();
    // Accepted: the check mark, the next word, the board open again.
    k.feed("CMD_newword+3+1+2+_bou_+");
    QVERIFY(m.checked(1));
    QCOMPARE(k.sounds, QStringList{QStringLiteral("goodword")});
    QCOMPARE(m.inputOwner(), 3);
    QCOMPARE(m.answerTiles(), (Core::Tiles{0, 0, 0, 0, 0}));
    QCOMPARE(m.letterCount(), 0);
    QCOMPARE(m.patternTiles(), (Core::Tiles{0, 2, 15, 21, 0}));
    QCOMPARE(m.wordLabel(), 2);
    QCOMPARE(m.status(), QStringLiteral("Create Another Word"));
    // After a pass: no check mark, no sound.
    k.sounds.clear();
    k.feed("CMD_newword+3+0+5+s___e+");
    QVERIFY(k.sounds.isEmpty());
    QCOMPARE(m.wordLabel(), 5);
    QCOMPARE(checks(m), 1);
    // Another seat's word changes nothing here.
    k.feed("CMD_newword+2+4+5+zz_zz+");
    QCOMPARE(m.patternTiles(), (Core::Tiles{19, 0, 0, 0, 5}));
    QVERIFY(!m.checked(4));

    // Refused, erased by default: "clear" then "invalid", the board open again.
    k.type("sxxxe");
    k.round.key(RoundController::KeyEnter);
    k.sent();
    k.sounds.clear();
    k.feed("CMD_invalid+3+2+");
    QCOMPARE(m.status(), QStringLiteral("Invalid Word"));
    QCOMPARE(k.sounds, strings({"clear", "invalid"}));
    QCOMPARE(m.answerTiles(), (Core::Tiles{0, 0, 0, 0, 0}));
    QCOMPARE(m.inputOwner(), 3);
    // Without Auto Erase the letters stay for another try.
    k.preferences.toggleAutoErase();
    k.type("slope");
    k.round.key(RoundController::KeyEnter);
    k.sent();
    k.sounds.clear();
    k.feed("CMD_invalid+3+1+");
    QCOMPARE(m.status(), QStringLiteral("Invalid Match"));
    QCOMPARE(k.sounds, QStringList{QStringLiteral("invalid")});
    QCOMPARE(m.answerTiles(), (Core::Tiles{19, 12, 15, 16, 5}));
    QCOMPARE(m.inputOwner(), 3);
    // An unknown reason leaves the status; another seat's refusal is ignored.
    k.feed("CMD_invalid+3+9+");
    QCOMPARE(m.status(), QStringLiteral("Invalid Match"));
    k.round.model().setInputOwner(0);
    k.feed("CMD_invalid+4+2+");
    QCOMPARE(m.inputOwner(), 0);
    QVERIFY(env->errors.isEmpty());
}

void RoundControllerTests::listComplete()
{
    // The last word's number given, "0", or none at all.
    for (const QByteArray &done : {QByteArray("7"), QByteArray("0"), QByteArray()}) {
        Open k(3);
        const RoundModel &m = k.round.model();
        k.type("ab");
        k.sounds.clear();
        k.feed("CMD_allfilled+3+" + done + (done.isEmpty() ? "" : "+"));
        QCOMPARE(m.inputOwner(), 0);
        QVERIFY(m.chatMode() && m.praised() && !m.buttonsShown());
        QCOMPARE(m.checked(7), done == "7");
        QCOMPARE(m.answerTiles(), (Core::Tiles{-1, -1, -1, -1, -1}));
        QCOMPARE(m.patternTiles(), (Core::Tiles{-1, -1, -1, -1, -1}));
        QCOMPARE(m.status(), QStringLiteral("You guessed all the words!"));
        QCOMPARE(m.wordLabel(), 0);
        QCOMPARE(k.sounds, QStringList{QStringLiteral("allfilled")});
        QVERIFY(!k.round.takesKey('Z')); // keys now type into the chat
        QVERIFY(env->errors.isEmpty());
    }
    // Another seat's list: nothing.
    Open k(3);
    k.feed("CMD_allfilled+2+4+");
    QCOMPARE(k.round.model().inputOwner(), 3);
    QVERIFY(!k.round.model().praised());
}

void RoundControllerTests::endOfTheRound()
{
    Core k(2);
    const RoundModel &m = k.round.model();
    k.feed("CMD_startgame+Red+5+60++");
    k.feed("CMD_startround+1+");
    k.feed("CMD_nextplayer+2+1+c_a_t+");
    k.feed("CMD_hiscount+4+7+");
    QCOMPARE(k.seats.model().words(4), QStringLiteral("7"));
    k.feed("CMD_allfilled+2+3+");
    k.sounds.clear();
    k.feed("CMD_timeup+2+");
    QCOMPARE(m.inputOwner(), 0);
    QVERIFY(m.buttonsShown()); // shown, the board closed
    QCOMPARE(m.status(), QStringLiteral("Time is Up."));
    QCOMPARE(k.sounds, QStringList{QStringLiteral("timeup")});
    QVERIFY(k.round.countingDown()); // runs out by itself
    QVERIFY(!k.round.key(' '));
    QCOMPARE(k.sent(), QByteArray());

    k.round.model().setPraise(false);
    k.feed("CMD_alldone+");
    QVERIFY(m.praised());
    QCOMPARE(m.status(), QStringLiteral("All players completed the list."));
    QVERIFY(!k.round.countingDown());
    // A watcher is not praised.
    Core spy(8);
    spy.feed("CMD_alldone+");
    QVERIFY(!spy.round.model().praised());
    QCOMPARE(spy.round.model().status(), QStringLiteral("All players completed the list."));
}

void RoundControllerTests::scores()
{
    Core k(3);
    k.feed("CMD_existingplayers+1+Red");
    k.feed("CMD_startgame+Red+5+60++");
    k.feed("CMD_startround+2+");
    k.feed("CMD_nextplayer+3+1+c_a_t+");
    k.sounds.clear();
    QSignalSpy shown(&k.round, &RoundController::scoresShown);
    k.feed(postScores("3"));
    QCOMPARE(shown.count(), 1);
    QCOMPARE(k.round.model().inputOwner(), 0);
    QVERIFY(k.round.model().chatMode());
    QCOMPARE(k.sounds, QStringList{QStringLiteral("postscores")});
    const ScoreReport &r = k.round.lastScores();
    QCOMPARE(r.fastest, 3);
    // Exact words in capitals; seat 1 with the bonus and both scores.
    QCOMPARE(r.seats[3].words, (QStringList{QStringLiteral("CHANT")} + QStringList(9, QStringLiteral("_bou_"))));
    QCOMPARE(r.seats[1].words.mid(0, 4), strings({"WORD1", "WORD2", "WORD3", "other"}));
    QCOMPARE(r.seats[1].roundScore, std::optional<QString>(QStringLiteral("90")));
    QCOMPARE(r.seats[1].total, std::optional<QString>(QStringLiteral("140")));
    QVERIFY(r.seats[1].bonus && !r.seats[3].bonus);
    // A free seat: total and bonus, no round points (its words are the panel's to leave out).
    QVERIFY(r.seats[2].bonus && !r.seats[2].roundScore);
    QCOMPARE(r.originals.size(), 10);
    QCOMPARE(r.originals.at(9), QStringLiteral("target10"));
    // The totals reach the seats.
    QCOMPARE(k.seats.model().total(1), QStringLiteral("140"));
    QCOMPARE(k.seats.model().total(2), QStringLiteral("7"));
    QCOMPARE(k.seats.model().total(3), QStringLiteral("10"));
    // No first finisher: none marked.
    k.feed(postScores("0"));
    QCOMPARE(k.round.lastScores().fastest, 0);
    QCOMPARE(k.round.lastScores().originals.size(), 10); // emptied first, not doubled

    // A number that is not one: reported, what came before it stays, not shown.
    Core bad(1);
    QSignalSpy badShown(&bad.round, &RoundController::scoresShown);
    bad.feed("CMD_postscores+0+1+3+40+x+3+50");
    QCOMPARE(env->errors, QStringList{QStringLiteral("'x' is not a valid integer value")});
    QCOMPARE(bad.seats.model().total(1), QStringLiteral("40"));
    QCOMPARE(badShown.count(), 0);
}

void RoundControllerTests::winnerAndTheTally()
{
    struct Case
    {
        int slot;
        QByteArray message;
        QString text;
        QStringList recorded;
    };
    const Case cases[] = {
        {1, "CMD_winner+Red+", QStringLiteral("You have Won the Game!"), {QStringLiteral("addtomine")}},
        {2, "CMD_winner+Red+", QStringLiteral("Red has Won the Game!"), {QStringLiteral("Red")}},
        {7, "CMD_winner+Red+", QStringLiteral("Red has Won the Game!"), {}},
        // The same shown name on another seat counts as this player's win.
        {3, "CMD_winner+Twin+", QStringLiteral("You have Won the Game!"), {QStringLiteral("addtomine")}},
    };
    for (const Case &c : cases) {
        const QByteArray name = c.slot == 3 ? "Twin" : "Blue";
        Core k(c.slot, QString::fromLatin1(name));
        k.feed("CMD_newplayerinfo+" + QByteArray::number(c.slot) + '+' + name);
        k.feed("CMD_newplayerinfo+1+" + QByteArray(c.slot == 3 ? "Twin" : "Red"));
        k.feed(postScores("1"));
        k.round.model().setPraise(true);
        k.sounds.clear();
        QSignalSpy told(&k.round, &RoundController::winnerTold);
        QSignalSpy recorded(&k.round, &RoundController::gameRecorded);
        k.feed(c.message);
        QCOMPARE(told.value(0).value(0).toString(), c.text);
        QCOMPARE(k.round.model().status(), QStringLiteral("Game Over!"));
        QCOMPARE(k.lines.last(), c.text);
        QCOMPARE(k.sounds, QStringList{QStringLiteral("winner")});
        QVERIFY(!k.round.model().praised() && k.round.model().chatMode());
        QStringList texts;
        for (const QList<QVariant> &args : recorded)
            texts << args.value(0).toString();
        QCOMPARE(texts, c.recorded);
    }
}

void RoundControllerTests::lateArrival()
{
    Core k(4);
    const RoundModel &m = k.round.model();
    // The word comes first, then the catch-up.
    k.feed("CMD_newword+4+0+3+_lo_e+");
    QCOMPARE(m.wordLabel(), 3);
    k.feed("CMD_loadstats+2+60+30+5+2+1+1+40+3"); // another player's: ignored
    QCOMPARE(m.creationTime(), 0);
    k.sounds.clear();
    k.feed("CMD_loadstats+4+45+30+5+2+1+1+40+3+x+1+1+2+15+2+4+0+0");
    QCOMPARE(m.creationTime(), 45);
    QCOMPARE(m.barStep(), 5);
    QCOMPARE(m.roundText(), QStringLiteral("Round: 2 of 5"));
    QCOMPARE(k.seats.model().total(1), QStringLiteral("40"));
    QCOMPARE(k.seats.model().words(1), QStringLiteral("3"));
    QCOMPARE(k.seats.model().total(2), QStringLiteral("15")); // after the bad entry
    QCOMPARE(k.seats.model().words(2), QStringLiteral("2"));
    QVERIFY(env->errors.isEmpty());
    QCOMPARE(m.secondsLeft(), 30);
    QVERIFY(k.round.countingDown());
    QCOMPARE(m.inputOwner(), 4);
    QVERIFY(!m.chatMode());
    QCOMPARE(m.status(), QStringLiteral("Create A Word"));
    QCOMPARE(k.sounds, QStringList{QStringLiteral("turn")});
    for (int key : std::initializer_list<int>{'G', 'L', 'O', 'B', 'E', RoundController::KeyEnter})
        k.round.key(key);
    QCOMPARE(k.sent(), QByteArray("CMD_myword+4+1+7+2+12+3+15+4+2+5+5"));

    // Between rounds, and for a watcher in a running round.
    Core late(5);
    late.feed("CMD_loadstats+5+60+10+3+1+2+1+0+0");
    QCOMPARE(late.round.model().status(), QStringLiteral("Players are looking at their words."));
    QCOMPARE(late.round.model().inputOwner(), 0);
    Core spy(9);
    spy.feed("CMD_loadstats+9+60+10+3+1+1+1+0+0");
    QCOMPARE(spy.round.model().status(), QStringLiteral("The Players are Creating Words."));
    QCOMPARE(spy.round.model().inputOwner(), 0);
}

void RoundControllerTests::lettersBackspaceAndShortWords()
{
    Open k(2);
    const RoundModel &m = k.round.model();
    k.type("crates");
    QCOMPARE(m.answerTiles(), (Core::Tiles{3, 18, 1, 20, 5}));
    QCOMPARE(k.sounds, QStringList(5, QStringLiteral("clickletter"))); // the sixth makes no sound
    k.round.key(RoundController::KeyBackspace);
    QCOMPARE(m.answerTiles(), (Core::Tiles{3, 18, 1, 20, 0}));
    QCOMPARE(k.sounds.last(), QStringLiteral("backspace"));

    // S, T and three Backspaces: the third does nothing.
    k.round.clearWord();
    k.sounds.clear();
    k.type("st");
    for (int i = 0; i < 3; ++i)
        k.round.key(RoundController::KeyBackspace);
    QCOMPARE(k.sounds, strings({"clickletter", "clickletter", "backspace", "backspace"}));
    QCOMPARE(m.letterCount(), 0);

    // Enter with three letters: refused here, nothing sent, letters stay, board open.
    k.type("cha");
    k.round.key(RoundController::KeyEnter);
    QCOMPARE(m.status(), QStringLiteral("Invalid Word"));
    QCOMPARE(k.sounds.last(), QStringLiteral("invalid"));
    QCOMPARE(k.sent(), QByteArray());
    QCOMPARE(m.inputOwner(), 2);
    k.type("nt");
    k.sounds.clear();
    k.round.key(RoundController::KeyEnter);
    QCOMPARE(k.sent(), QByteArray("CMD_myword+2+1+3+2+8+3+1+4+14+5+20"));
    QCOMPARE(m.status(), QStringLiteral("Checking Word..."));
    QVERIFY(k.sounds.isEmpty()); // no sound on a submission
}

void RoundControllerTests::closedBoardTakesNoKeys()
{
    // Before the login both the slot and the owner are 0: the board is not open.
    Session alone;
    Preferences preferences;
    SeatsController seats(alone, preferences);
    RoundController round(alone, seats.model(), preferences.options());
    QVERIFY(!round.key(RoundController::KeyTab));
    QVERIFY(round.model().chatMode());
    QVERIFY(!round.key('A'));
    QCOMPARE(round.model().letterCount(), 0);
    round.submit();
    QCOMPARE(round.model().status(), QStringLiteral("Checking Word..."));

    // A watcher's board never opens.
    Core spy(7, QStringLiteral("Eve"));
    spy.feed("CMD_nextplayer+1+0+*+");
    QCOMPARE(spy.round.model().status(), QStringLiteral("The Players are Creating Words."));
    QVERIFY(!spy.round.key('A') && !spy.round.key(RoundController::KeySpace));
    QCOMPARE(spy.round.model().letterCount(), 0);
    QVERIFY(!spy.round.model().buttonsShown());
    QCOMPARE(spy.sent(), QByteArray());
}

void RoundControllerTests::countdownBarStep()
{
    Core k(1);
    const std::pair<const char *, int> cases[] = {{"60", 4}, {"45", 5}, {"120", 2}, {"7", 36}, {"0", 0}, {"-5", 0}};
    for (const auto &[seconds, step] : cases) {
        k.feed(QByteArray("CMD_startgame+Red+3+") + seconds + "++");
        QCOMPARE(k.round.model().barStep(), step);
    }
    QVERIFY(env->errors.isEmpty());
    k.feed("CMD_startgame+Red+3+sixty++");
    QCOMPARE(env->errors, QStringList{QStringLiteral("'sixty' is not a valid integer value")});
}

int runRoundControllerTests(int argc, char **argv)
{
    RoundControllerTests t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_roundcontroller.moc"
