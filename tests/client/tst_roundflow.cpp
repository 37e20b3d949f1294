// The round messages fed to a window offscreen: the game start, rounds, words and
// patterns, refusals, the end of a list and of a round, the score panel, the
// winner with the tally record, and the catch-up of a late arrival.
#include "boardfixtures.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using namespace vexlo;

namespace {

QStringList items(const QListWidget *l)
{
    QStringList out;
    for (int i = 0; i < l->count(); ++i)
        out << l->item(i)->text();
    return out;
}

// A round's report: seat 1 Red filled all ten (three exact), seat 2 free,
// seat 3 (this window) filled one; first finisher given.
QByteArray report(const QByteArray &first)
{
    QByteArray m = "CMD_postscores+" + first;
    for (int i = 1; i <= 10; ++i)
        m += i <= 3 ? "+1+0+word" + QByteArray::number(i) : "+1+1+other";
    m += "+1+4+25+1+2+90+1+3+140";
    for (int i = 1; i <= 10; ++i)
        m += "+2+1+p_tt_";
    m += "+2+4+25+2+3+7"; // a free seat: no words, but the marks and total
    m += "+3+0+chant";
    for (int i = 2; i <= 10; ++i)
        m += "+3+1+_bou_";
    m += "+3+2+10+3+3+10";
    for (int s = 4; s <= 6; ++s)
        m += "+" + QByteArray::number(s) + "+3+0";
    for (int i = 1; i <= 10; ++i)
        m += "+0+5+target" + QByteArray::number(i);
    return m;
}

} // namespace

class RoundFlowTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { env = std::make_unique<TestEnvironment>(); }
    void init() { env->errors.clear(); }

    void patternsAndTheWordLabel();
    void gameStartAndRounds();
    void acceptedPassedAndRefusedWords();
    void listComplete();
    void endOfTheRound();
    void scorePanel();
    void scorePanelAbandonedOnABadNumber();
    void winnerAndTheTally();
    void lateArrival();

private:
    std::unique_ptr<TestEnvironment> env;
};

void RoundFlowTests::patternsAndTheWordLabel()
{
    SeatedWindow s(2);
    Tchat &c = s.w.chat;
    s.open("a_b_c");
    QCOMPARE(tags(c, "image_gap"), (QList<int>{1, 0, 2, 0, 3}));
    QVERIFY(shows(c, slotWidget<QLabel>(c, "image_gap", 2), 0));
    QCOMPARE(boardLabel(c, "label_wordcount")->text(), QStringLiteral("First Word"));
    c.round().model().setWord(8, "Xyz");
    QCOMPARE(boardLabel(c, "label_wordcount")->text(), QStringLiteral("Eight Word"));
    QCOMPARE(tags(c, "image_gap"), (QList<int>{0, 25, 26, 0, 0})); // upper case and past the end: blank
    c.round().model().setWord(11, "hello");
    QVERIFY(boardLabel(c, "label_wordcount")->text().isEmpty());
    QCOMPARE(tags(c, "image_gap"), (QList<int>{8, 5, 12, 12, 15}));
    c.round().model().setWord(0, "abcde");
    c.round().model().setWord(3, "");
    QCOMPARE(tags(c, "image_gap"), (QList<int>{8, 5, 12, 12, 15}));
    QVERIFY(boardLabel(c, "label_wordcount")->text().isEmpty());
}

void RoundFlowTests::gameStartAndRounds()
{
    SeatedWindow s(1);
    Tchat &c = s.w.chat;
    c.session().setHosting(true);
    boardButton(c, "button_start")->show();
    action(c, "JustWatch1")->setChecked(true);
    winnerPanel(c)->show();
    slotWidget<QLabel>(c, "label_score", 2)->setText(QStringLiteral("45"));
    s.w.feed("CMD_startgame+Red+5+60++");
    QCOMPARE(s.w.lastLine(), QStringLiteral("Red has started a game."));
    QVERIFY(boardButton(c, "button_start")->isHidden());
    QVERIFY(!action(c, "JustWatch1")->isChecked());
    QVERIFY(winnerPanel(c)->isHidden() && ::scorePanel(c)->isHidden());
    QCOMPARE(slotWidget<QLabel>(c, "label_score", 2)->text(), QStringLiteral("0"));
    QCOMPARE(boardLabel(c, "label_roundnum")->text(), QStringLiteral("Round: 0 of 0")); // until the first round
    QCOMPARE(c.round().model().roundTotal(), QStringLiteral("5"));
    QCOMPARE(c.round().model().creationTime(), 60);
    QVERIFY(!c.round().countingDown());

    s.w.feed("CMD_startround+1+");
    QCOMPARE(boardLabel(c, "label_roundnum")->text(), QStringLiteral("Round: 1 of 5"));
    QVERIFY(c.round().countingDown());
    QCOMPARE(c.round().model().secondsLeft(), 60);
    s.open("c_a_t");
    QCOMPARE(boardLabel(c, "label_status")->text(), QStringLiteral("Type a Word - Press ENTER to submit your word."));
    QCOMPARE(c.round().model().inputOwner(), 1);
    QVERIFY(!boardButton(c, "button_pass")->isHidden() && !boardButton(c, "button_clear")->isHidden());
    // The turn sound follows Options > Turn Sound.
    s.w.feed("CMD_nextplayer+1+1+c_a_t+");
    QCOMPARE(s.w.sounds.last(), QStringLiteral("turn"));
    c.findChild<QAction *>(QStringLiteral("New1"))->trigger();
    s.w.feed("CMD_nextplayer+1+1+c_a_t+");
    QCOMPARE(s.w.sounds.last(), QStringLiteral("turnnew"));

    // A tie plays on: the round label goes past the total.
    s.w.feed("CMD_startround+6+");
    QCOMPARE(boardLabel(c, "label_roundnum")->text(), QStringLiteral("Round: 6 of 5"));
    QVERIFY(env->errors.isEmpty());
}

void RoundFlowTests::acceptedPassedAndRefusedWords()
{
    SeatedWindow s(3);
    Tchat &c = s.w.chat;
    s.open();
    QTest::keyClicks(chatEntry(c), QStringLiteral("chant"));
    QTest::keyClick(chatEntry(c), Qt::Key_Return);
    QCOMPARE(c.round().model().inputOwner(), 0);
    s.w.sounds.clear();
    // Accepted: the check mark, the next word, the board open again.
    s.w.feed("CMD_newword+3+1+2+_bou_+");
    QVERIFY(!slotWidget<QLabel>(c, "image_check", 1)->isHidden());
    QCOMPARE(s.w.sounds, QStringList{QStringLiteral("goodword")});
    QCOMPARE(c.round().model().inputOwner(), 3);
    QCOMPARE(tags(c, "image_word"), (QList<int>{0, 0, 0, 0, 0}));
    QCOMPARE(c.round().model().letterCount(), 0);
    QCOMPARE(tags(c, "image_gap"), (QList<int>{0, 2, 15, 21, 0}));
    QCOMPARE(boardLabel(c, "label_wordcount")->text(), QStringLiteral("Second Word"));
    QCOMPARE(boardLabel(c, "label_status")->text(), QStringLiteral("Create Another Word"));
    // After a pass: no check mark, no sound, the same status.
    s.w.sounds.clear();
    s.w.feed("CMD_newword+3+0+5+s___e+");
    QVERIFY(s.w.sounds.isEmpty());
    QCOMPARE(boardLabel(c, "label_wordcount")->text(), QStringLiteral("Fifth Word"));
    int checks = 0;
    for (int i = 1; i <= 10; ++i)
        checks += slotWidget<QLabel>(c, "image_check", i)->isHidden() ? 0 : 1;
    QCOMPARE(checks, 1);
    // Another seat's word changes nothing here.
    s.w.feed("CMD_newword+2+4+5+zz_zz+");
    QCOMPARE(tags(c, "image_gap"), (QList<int>{19, 0, 0, 0, 5}));
    QVERIFY(slotWidget<QLabel>(c, "image_check", 4)->isHidden());

    // Refused, erased by default: "clear" then "invalid", the board open again.
    QTest::keyClicks(chatEntry(c), QStringLiteral("sxxxe"));
    QTest::keyClick(chatEntry(c), Qt::Key_Return);
    s.host.next();
    s.w.sounds.clear();
    s.w.feed("CMD_invalid+3+2+");
    QCOMPARE(boardLabel(c, "label_status")->text(), QStringLiteral("Invalid Word"));
    QCOMPARE(s.w.sounds, strings({"clear", "invalid"}));
    QCOMPARE(tags(c, "image_word"), (QList<int>{0, 0, 0, 0, 0}));
    QCOMPARE(c.round().model().inputOwner(), 3);
    // Without Auto Erase the letters stay for another try.
    action(c, "AutoEraseInvalidWord1")->trigger();
    QVERIFY(!action(c, "AutoEraseInvalidWord1")->isChecked());
    QTest::keyClicks(chatEntry(c), QStringLiteral("slope"));
    QTest::keyClick(chatEntry(c), Qt::Key_Return);
    s.host.next();
    s.w.sounds.clear();
    s.w.feed("CMD_invalid+3+1+");
    QCOMPARE(boardLabel(c, "label_status")->text(), QStringLiteral("Invalid Match"));
    QCOMPARE(s.w.sounds, QStringList{QStringLiteral("invalid")});
    QCOMPARE(tags(c, "image_word"), (QList<int>{19, 12, 15, 16, 5}));
    QCOMPARE(c.round().model().inputOwner(), 3);
    // An unknown reason leaves the status; another seat's refusal is ignored.
    s.w.feed("CMD_invalid+3+9+");
    QCOMPARE(boardLabel(c, "label_status")->text(), QStringLiteral("Invalid Match"));
    c.round().model().setInputOwner(0);
    s.w.feed("CMD_invalid+4+2+");
    QCOMPARE(c.round().model().inputOwner(), 0);
    QVERIFY(env->errors.isEmpty());
}

void RoundFlowTests::listComplete()
{
    for (const QByteArray &done : {QByteArray("7"), QByteArray("0"), QByteArray()}) {
        SeatedWindow s(3);
        Tchat &c = s.w.chat;
        s.open();
        QTest::keyClicks(chatEntry(c), QStringLiteral("ab"));
        s.w.sounds.clear();
        s.w.feed("CMD_allfilled+3+" + done + (done.isEmpty() ? "" : "+"));
        QCOMPARE(c.round().model().inputOwner(), 0);
        QVERIFY(c.round().model().chatMode());
        QVERIFY(!boardLabel(c, "image_goodjob")->isHidden());
        QCOMPARE(!slotWidget<QLabel>(c, "image_check", 7)->isHidden(), done == "7");
        QVERIFY(boardButton(c, "button_pass")->isHidden() && boardButton(c, "button_clear")->isHidden());
        QCOMPARE(tags(c, "image_word"), (QList<int>{0, 0, 0, 0, 0}));
        // Nothing shows.
        QVERIFY(slotWidget<QLabel>(c, "image_word", 1)->pixmap().isNull()
                && slotWidget<QLabel>(c, "image_gap", 1)->pixmap().isNull());
        QCOMPARE(boardLabel(c, "label_status")->text(), QStringLiteral("You guessed all the words!"));
        QVERIFY(boardLabel(c, "label_wordcount")->text().isEmpty());
        QCOMPARE(s.w.sounds, QStringList{QStringLiteral("allfilled")});
        // Keys now type into the chat.
        chatEntry(c)->clear();
        QTest::keyClick(chatEntry(c), Qt::Key_Z);
        QCOMPARE(chatEntry(c)->text(), QStringLiteral("z"));
        QVERIFY(env->errors.isEmpty());
    }
    // Another seat's list: nothing.
    SeatedWindow s(3);
    s.open();
    s.w.feed("CMD_allfilled+2+4+");
    QCOMPARE(s.w.chat.round().model().inputOwner(), 3);
    QVERIFY(boardLabel(s.w.chat, "image_goodjob")->isHidden());
}

void RoundFlowTests::endOfTheRound()
{
    SeatedWindow s(2);
    Tchat &c = s.w.chat;
    s.w.feed("CMD_startgame+Red+5+60++");
    s.w.feed("CMD_startround+1+");
    s.open();
    s.w.feed("CMD_hiscount+4+7+");
    QCOMPARE(slotWidget<QLabel>(c, "label_words", 4)->text(), QStringLiteral("7"));
    s.w.feed("CMD_allfilled+2+3+");
    s.w.sounds.clear();
    s.w.feed("CMD_timeup+2+");
    QCOMPARE(c.round().model().inputOwner(), 0);
    // Shown, the board closed.
    QVERIFY(!boardButton(c, "button_pass")->isHidden() && !boardButton(c, "button_clear")->isHidden());
    QCOMPARE(boardLabel(c, "label_status")->text(), QStringLiteral("Time is Up."));
    QCOMPARE(s.w.sounds, QStringList{QStringLiteral("timeup")});
    QVERIFY(c.round().countingDown()); // runs out by itself
    QTest::keyClick(chatEntry(c), Qt::Key_Space);
    QVERIFY(s.host.quiet(c));

    boardLabel(c, "image_goodjob")->hide();
    s.w.feed("CMD_alldone+");
    QVERIFY(!boardLabel(c, "image_goodjob")->isHidden());
    QCOMPARE(boardLabel(c, "label_status")->text(), QStringLiteral("All players completed the list."));
    QVERIFY(!c.round().countingDown());
    // A watcher is not praised.
    SeatedWindow spy(8, QStringLiteral("Eve"));
    spy.w.feed("CMD_alldone+");
    QVERIFY(boardLabel(spy.w.chat, "image_goodjob")->isHidden());
    QCOMPARE(boardLabel(spy.w.chat, "label_status")->text(), QStringLiteral("All players completed the list."));
}

void RoundFlowTests::scorePanel()
{
    SeatedWindow s(3);
    Tchat &c = s.w.chat;
    s.w.feed("CMD_existingplayers+1+Red");
    s.w.feed("CMD_startgame+Red+5+60++");
    s.w.feed("CMD_startround+2+");
    s.open();
    s.w.sounds.clear();
    s.w.feed(report("3"));
    QVERIFY(!::scorePanel(c)->isHidden());
    QCOMPARE(::scorePanel(c)->pos(), QPoint(4, 1));
    QCOMPARE(::scorePanel(c)->roundText(), QStringLiteral("Round: 2 of 5"));
    QCOMPARE(c.round().model().inputOwner(), 0);
    QVERIFY(c.round().model().chatMode());
    QCOMPARE(s.w.sounds, QStringList{QStringLiteral("postscores")});
    // This window's column (slot 3) stands first, with the first-finisher mark.
    QCOMPARE(slotWidget<QLabel>(c, "label_name", 3)->x(), 134);
    QCOMPARE(slotWidget<QLabel>(c, "label_name", 3)->text(), QStringLiteral("Red"));
    QVERIFY(!slotWidget<QLabel>(c, "image_fastest", 3)->isHidden());
    QCOMPARE(slotWidget<QLabel>(c, "image_fastest", 3)->x(), 139);
    QVERIFY(slotWidget<QLabel>(c, "image_fastest", 1)->isHidden());
    QCOMPARE(items(slotWidget<QListWidget>(c, "listbox_player", 3)),
             (QStringList{QStringLiteral("CHANT")} + QStringList(9, QStringLiteral("_bou_"))));
    QCOMPARE(slotWidget<QLabel>(c, "label_ascore", 3)->text(), QStringLiteral("Score: 10"));
    QCOMPARE(slotWidget<QLabel>(c, "label_score", 3)->text(), QStringLiteral("10"));
    QVERIFY(slotWidget<QLabel>(c, "image_bonus", 3)->isHidden());
    // Seat 1: capitals for exact words, the bonus mark, points and total.
    const QStringList one = items(slotWidget<QListWidget>(c, "listbox_player", 1));
    QCOMPARE(one.mid(0, 4), strings({"WORD1", "WORD2", "WORD3", "other"}));
    QVERIFY(!slotWidget<QLabel>(c, "image_bonus", 1)->isHidden());
    QCOMPARE(slotWidget<QLabel>(c, "label_ascore", 1)->text(), QStringLiteral("Score: 90"));
    QCOMPARE(slotWidget<QLabel>(c, "label_score", 1)->text(), QStringLiteral("140"));
    // A free seat: no words, but total and bonus; no round points: an empty label.
    QVERIFY(items(slotWidget<QListWidget>(c, "listbox_player", 2)).isEmpty());
    QCOMPARE(slotWidget<QLabel>(c, "label_score", 2)->text(), QStringLiteral("7"));
    QVERIFY(!slotWidget<QLabel>(c, "image_bonus", 2)->isHidden());
    QVERIFY(slotWidget<QLabel>(c, "label_ascore", 2)->text().isEmpty());
    QCOMPARE(slotWidget<QLabel>(c, "label_name", 2)->text(), QStringLiteral("<Waiting>"));
    QCOMPARE(::scorePanel(c)->originals().size(), 10);
    QCOMPARE(::scorePanel(c)->originals().at(9), QStringLiteral("target10"));

    // The next round clears the marks; a report without a first finisher shows none.
    s.w.feed("CMD_startround+3+");
    QVERIFY(::scorePanel(c)->isHidden());
    QVERIFY(slotWidget<QLabel>(c, "image_fastest", 3)->isHidden());
    QVERIFY(slotWidget<QLabel>(c, "image_bonus", 1)->isHidden());
    QVERIFY(items(slotWidget<QListWidget>(c, "listbox_player", 1)).isEmpty());
    s.w.feed(report("0"));
    for (int i = 1; i <= 6; ++i)
        QVERIFY(slotWidget<QLabel>(c, "image_fastest", i)->isHidden());
    QCOMPARE(::scorePanel(c)->originals().size(), 10); // emptied first, not doubled
    QVERIFY(env->errors.isEmpty());
}

void RoundFlowTests::scorePanelAbandonedOnABadNumber()
{
    SeatedWindow s(1);
    Tchat &c = s.w.chat;
    s.w.feed("CMD_postscores+0+1+3+40+x+3+50");
    QCOMPARE(env->errors, QStringList{QStringLiteral("'x' is not a valid integer value")});
    QCOMPARE(slotWidget<QLabel>(c, "label_score", 1)->text(), QStringLiteral("40")); // what came before stays
    QVERIFY(::scorePanel(c)->isHidden());
}

void RoundFlowTests::winnerAndTheTally()
{
    struct Case
    {
        int slot;
        bool host;
        QByteArray message;
        QString text;
        QStringList recorded;
    };
    const Case cases[] = {
        {1, true, "CMD_winner+Red+", QStringLiteral("You have Won the Game!"), {QStringLiteral("addtomine")}},
        {2, false, "CMD_winner+Red+", QStringLiteral("Red has Won the Game!"), {QStringLiteral("Red")}},
        {7, false, "CMD_winner+Red+", QStringLiteral("Red has Won the Game!"), {}},
        // The same shown name on another seat counts as this window's win.
        {3, false, "CMD_winner+Twin+", QStringLiteral("You have Won the Game!"), {QStringLiteral("addtomine")}},
    };
    for (const Case &k : cases) {
        SeatedWindow s(k.slot, k.slot == 3 ? QStringLiteral("Twin") : QStringLiteral("Blue"));
        Tchat &c = s.w.chat;
        c.session().setHosting(k.host);
        QStringList recorded;
        QObject::connect(&c, &Tchat::gameRecorded, &c, [&](const QString &text) { recorded << text; });
        s.w.feed("CMD_newplayerinfo+1+" + QByteArray(k.slot == 3 ? "Twin" : "Red"));
        s.w.feed(report("1"));
        boardLabel(c, "image_goodjob")->show();
        s.w.sounds.clear();
        s.w.feed(k.message);
        QCOMPARE(winnerPanel(c)->text(), k.text);
        QCOMPARE(winnerPanel(c)->findChild<QLabel *>(QStringLiteral("label_winner2"))->text(), k.text);
        QCOMPARE(boardLabel(c, "label_status")->text(), QStringLiteral("Game Over!"));
        QCOMPARE(s.w.lastLine(), k.text);
        QCOMPARE(s.w.sounds, QStringList{QStringLiteral("winner")});
        QVERIFY(!winnerPanel(c)->isHidden());
        QVERIFY(!::scorePanel(c)->isHidden()); // the last round's scores stay under it
        QVERIFY(boardLabel(c, "image_goodjob")->isHidden());
        QVERIFY(c.round().model().chatMode());
        QCOMPARE(boardButton(c, "button_start")->isHidden(), !k.host);
        QCOMPARE(recorded, k.recorded);
        // The next game hides the panels again.
        s.w.feed("CMD_startgame+Red+5+60++");
        QVERIFY(winnerPanel(c)->isHidden() && ::scorePanel(c)->isHidden());
    }
    // No hook yet: nothing breaks.
    SeatedWindow s(1);
    s.w.feed("CMD_winner+Red+");
    QVERIFY(env->errors.isEmpty());
}

void RoundFlowTests::lateArrival()
{
    SeatedWindow s(4);
    Tchat &c = s.w.chat;
    // The word comes first, then the catch-up.
    s.w.feed("CMD_newword+4+0+3+_lo_e+");
    QCOMPARE(boardLabel(c, "label_wordcount")->text(), QStringLiteral("Third Word"));
    s.w.feed("CMD_loadstats+2+60+30+5+2+1+1+40+3"); // another window's: ignored
    QCOMPARE(c.round().model().creationTime(), 0);
    s.w.sounds.clear();
    s.w.feed("CMD_loadstats+4+45+30+5+2+1+1+40+3+x+1+1+2+15+2+4+0+0");
    QCOMPARE(c.round().model().creationTime(), 45);
    QCOMPARE(c.round().model().barStep(), 5);
    QCOMPARE(boardLabel(c, "label_roundnum")->text(), QStringLiteral("Round: 2 of 5"));
    QCOMPARE(slotWidget<QLabel>(c, "label_score", 1)->text(), QStringLiteral("40"));
    QCOMPARE(slotWidget<QLabel>(c, "label_words", 1)->text(), QStringLiteral("3"));
    QCOMPARE(slotWidget<QLabel>(c, "label_score", 2)->text(), QStringLiteral("15")); // after the bad entry
    QCOMPARE(slotWidget<QLabel>(c, "label_words", 2)->text(), QStringLiteral("2"));
    QVERIFY(env->errors.isEmpty());
    QCOMPARE(c.round().model().secondsLeft(), 30);
    QVERIFY(c.round().countingDown());
    QCOMPARE(c.round().model().inputOwner(), 4);
    QVERIFY(!c.round().model().chatMode());
    QCOMPARE(boardLabel(c, "label_status")->text(), QStringLiteral("Create A Word"));
    QCOMPARE(s.w.sounds, QStringList{QStringLiteral("turn")});
    QTest::keyClicks(chatEntry(c), QStringLiteral("globe"));
    QTest::keyClick(chatEntry(c), Qt::Key_Return);
    QCOMPARE(s.host.next(), QByteArray("CMD_myword+4+1+7+2+12+3+15+4+2+5+5"));

    // Between rounds, and for a watcher in a running round.
    SeatedWindow late(5);
    late.w.feed("CMD_loadstats+5+60+10+3+1+2+1+0+0");
    QCOMPARE(boardLabel(late.w.chat, "label_status")->text(), QStringLiteral("Players are looking at their words."));
    QCOMPARE(late.w.chat.round().model().inputOwner(), 0);
    SeatedWindow spy(9, QStringLiteral("Eve"));
    spy.w.feed("CMD_loadstats+9+60+10+3+1+1+1+0+0");
    QCOMPARE(boardLabel(spy.w.chat, "label_status")->text(), QStringLiteral("The Players are Creating Words."));
    QCOMPARE(spy.w.chat.round().model().inputOwner(), 0);
}

QTEST_MAIN(RoundFlowTests)
#include "tst_roundflow.moc"
