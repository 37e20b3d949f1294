// Whole games through the windows against the game server of the process, typed
// with key events: a solo game to its winner, and a host with a joiner, a spy and
// a late joiner, whose tie plays an extra round. The server's round timer is
// driven by hand.
#include "servertable.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

using namespace vexlo;

namespace {

struct Table : ServerTable
{
    std::vector<std::unique_ptr<QTcpSocket>> holders;

    Table(quint32 seed)
    {
        server.setSecondLength(3600 * 1000); // the tests drive the round timer
        server.random().setSeed(seed);
    }
    // A connection that takes a slot and never logs in.
    void holdSlot()
    {
        holders.push_back(std::make_unique<QTcpSocket>());
        holders.back()->connectToHost(QHostAddress::LocalHost, server.listeningPort());
    }
    // Ticks the round timer until the current phase is over.
    void finishPhase()
    {
        const int phase = server.roundPhase();
        const int round = server.round();
        for (int guard = 0; guard < 10000 && server.timer1Active() && server.roundPhase() == phase
                            && server.round() == round;
             ++guard)
            server.timer1Timer();
    }
    // The target word a seat works on now.
    QByteArray currentTarget(int seat) const
    {
        return server.board(server.round(), server.player(seat).currentword).target;
    }
};

void type(Window &w, const QByteArray &word)
{
    QTest::keyClicks(chatEntry(w.chat), QString::fromLatin1(word));
    QTest::keyClick(chatEntry(w.chat), Qt::Key_Return);
}

void startGame(Window &host, int rounds, int seconds)
{
    boardButton(host.chat, "button_start")->click();
    host.gamestart.edit_playtoscore->setValue(rounds);
    host.gamestart.edit_creationtime->setValue(seconds);
    host.gamestart.button_start->click();
}

QString status(const Window &w)
{
    return boardLabel(w.chat, "label_status")->text();
}

int checks(const Window &w)
{
    int n = 0;
    for (int i = 1; i <= 10; ++i)
        n += slotWidget<QLabel>(w.chat, "image_check", i)->isHidden() ? 0 : 1;
    return n;
}

} // namespace

class GameTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { env = std::make_unique<TestEnvironment>(); }
    void init() { env->errors.clear(); }

    void soloGameToTheWinner();
    void hostJoinerSpyAndLateJoinerWithATie();

private:
    std::unique_ptr<TestEnvironment> env;
};

void GameTests::soloGameToTheWinner()
{
    Table t(2024);
    Window &w = t.host({});
    QStringList recorded;
    QObject::connect(&w.chat, &Tchat::gameRecorded, &w.chat, [&](const QString &text) { recorded << text; });
    QTRY_VERIFY(w.chat.session().loggedIn());
    QTRY_COMPARE(w.label("label_playername", 1)->text(), QStringLiteral("You"));
    startGame(w, 1, 30);
    QTRY_COMPARE(w.chat.round().model().inputOwner(), 1);
    QCOMPARE(boardLabel(w.chat, "label_roundnum")->text(), QStringLiteral("Round: 1 of 1"));
    QCOMPARE(w.chat.round().model().barStep(), 258 / 30);
    QVERIFY(w.chat.round().countingDown());
    QCOMPARE(boardLabel(w.chat, "label_wordcount")->text(), QStringLiteral("First Word"));
    QCOMPARE(status(w), QStringLiteral("Type a Word - Press ENTER to submit your word."));

    // A word that is no word, then one that misses the pattern.
    type(w, "qqqqq");
    QTRY_COMPARE(status(w), QStringLiteral("Invalid Word"));
    QCOMPARE(w.chat.round().model().inputOwner(), 1);
    // "about" and "chant" share no shown letter of any pattern shape: one misses it.
    const QByteArray pattern = t.server.board(1, 1).pattern;
    auto fits = [&](const QByteArray &word) {
        for (int k = 0; k < 5; ++k)
            if (pattern[k] != '_' && pattern[k] != word[k])
                return false;
        return true;
    };
    type(w, fits("about") ? "chant" : "about");
    QTRY_COMPARE(status(w), QStringLiteral("Invalid Match"));
    QCOMPARE(w.chat.round().model().letterCount(), 0); // erased
    // A pass moves on without a check mark.
    QTest::keyClick(chatEntry(w.chat), Qt::Key_Space);
    QTRY_COMPARE(boardLabel(w.chat, "label_wordcount")->text(), QStringLiteral("Second Word"));
    QCOMPARE(checks(w), 0);

    // All ten words, each typed as its target.
    for (int n = 1; n <= 10; ++n) {
        const QByteArray target = t.currentTarget(1);
        type(w, target);
        QTRY_VERIFY2(w.chat.round().model().inputOwner() == 1 || !boardLabel(w.chat, "image_goodjob")->isHidden(),
                     target.constData());
        QCOMPARE(checks(w), n);
    }
    QVERIFY(!boardLabel(w.chat, "image_goodjob")->isHidden());
    QTRY_COMPARE(status(w), QStringLiteral("All players completed the list."));
    QVERIFY(!w.chat.round().countingDown());
    QCOMPARE(w.label("label_words", 1)->text(), QStringLiteral("10"));

    t.finishPhase(); // the round is scored
    QTRY_VERIFY(!scorePanel(w.chat)->isHidden());
    QVERIFY(!slotWidget<QLabel>(w.chat, "image_fastest", 1)->isHidden());
    QVERIFY(!slotWidget<QLabel>(w.chat, "image_bonus", 1)->isHidden());
    QCOMPARE(slotWidget<QLabel>(w.chat, "label_ascore", 1)->text(), QStringLiteral("Score: 150"));
    QCOMPARE(w.label("label_score", 1)->text(), QStringLiteral("150"));
    QCOMPARE(slotWidget<QListWidget>(w.chat, "listbox_player", 1)->item(0)->text(),
             QString::fromLatin1(t.server.board(1, 1).target).toUpper());
    QCOMPARE(scorePanel(w.chat)->originals().at(9), QString::fromLatin1(t.server.board(1, 10).target));

    t.finishPhase(); // the viewing time; the game is decided
    QTRY_VERIFY(!winnerPanel(w.chat)->isHidden());
    QCOMPARE(winnerPanel(w.chat)->text(), QStringLiteral("You have Won the Game!"));
    QCOMPARE(status(w), QStringLiteral("Game Over!"));
    QCOMPARE(recorded, QStringList{QStringLiteral("addtomine")});
    QVERIFY(!boardButton(w.chat, "button_start")->isHidden());
    QVERIFY(w.chat.round().model().chatMode());
    QVERIFY(env->errors.isEmpty());
}

void GameTests::hostJoinerSpyAndLateJoinerWithATie()
{
    Table t(99);
    Window &red = t.host({QStringLiteral("Red"), QStringLiteral("127.0.0.1"), QStringLiteral("true")});
    QTRY_VERIFY(red.chat.session().loggedIn());
    Window &blue = t.join(QStringLiteral("Blue"));
    QTRY_COMPARE(blue.chat.session().slot(), 2);
    for (int i = 3; i <= 6; ++i)
        t.holdSlot();
    QTRY_COMPARE(t.server.highestSlot(), 6);
    Window &eve = t.join(QStringLiteral("Eve"));
    QTRY_COMPARE(eve.chat.session().slot(), 7);
    QStringList redRecord, blueRecord, eveRecord;
    QObject::connect(&red.chat, &Tchat::gameRecorded, &red.chat, [&](const QString &s) { redRecord << s; });
    QObject::connect(&blue.chat, &Tchat::gameRecorded, &blue.chat, [&](const QString &s) { blueRecord << s; });
    QObject::connect(&eve.chat, &Tchat::gameRecorded, &eve.chat, [&](const QString &s) { eveRecord << s; });

    // Round 1: nobody makes a word, so the two players tie at 0.
    startGame(red, 1, 30);
    QTRY_COMPARE(blue.chat.round().model().inputOwner(), 2);
    QTRY_COMPARE(red.chat.round().model().inputOwner(), 1);
    QTRY_COMPARE(status(eve), QStringLiteral("The Players are Creating Words."));
    QVERIFY(eve.chat.round().model().inputOwner() != eve.chat.session().slot());
    QVERIFY(boardButton(eve.chat, "button_pass")->isHidden());
    QTest::keyClick(chatEntry(red.chat), Qt::Key_1); // a pass
    QTRY_COMPARE(boardLabel(red.chat, "label_wordcount")->text(), QStringLiteral("Second Word"));
    QCOMPARE(boardLabel(blue.chat, "label_wordcount")->text(), QStringLiteral("First Word"));
    t.finishPhase();
    QTRY_COMPARE(status(blue), QStringLiteral("Time is Up."));
    for (Window *w : {&red, &blue, &eve})
        QTRY_VERIFY(!scorePanel(w->chat)->isHidden());
    QCOMPARE(red.label("label_score", 2)->text(), QStringLiteral("0"));

    // The tie plays on: round 2 of 1.
    t.finishPhase();
    for (Window *w : {&red, &blue, &eve})
        QTRY_COMPARE(boardLabel(w->chat, "label_roundnum")->text(), QStringLiteral("Round: 2 of 1"));
    QVERIFY(winnerPanel(red.chat)->isHidden());
    QTRY_COMPARE(red.chat.round().model().inputOwner(), 1);

    // A late joiner takes the freed seat 3 in the running round.
    t.holders.front()->abort();
    QTRY_VERIFY(t.server.player(3).connection.isNull());
    Window &late = t.join(QStringLiteral("Late"));
    QStringList lateRecord;
    QObject::connect(&late.chat, &Tchat::gameRecorded, &late.chat, [&](const QString &s) { lateRecord << s; });
    QTRY_COMPARE(status(late), QStringLiteral("Create A Word"));
    QCOMPARE(late.chat.session().slot(), 3);
    QCOMPARE(late.chat.round().model().inputOwner(), 3);
    QCOMPARE(boardLabel(late.chat, "label_roundnum")->text(), QStringLiteral("Round: 2 of 1"));
    QVERIFY(late.chat.round().countingDown());
    QCOMPARE(boardLabel(late.chat, "label_wordcount")->text(), QStringLiteral("First Word"));
    QTRY_COMPARE(red.label("label_playername", 3)->text(), QStringLiteral("Late"));

    // Red makes two words, Late one, Blue none.
    type(late, t.currentTarget(3));
    QTRY_COMPARE(status(late), QStringLiteral("Create Another Word"));
    for (int n = 1; n <= 2; ++n) {
        type(red, t.currentTarget(1));
        QTRY_COMPARE(checks(red), n);
        QTRY_COMPARE(red.chat.round().model().inputOwner(), 1);
    }
    QTRY_COMPARE(blue.label("label_words", 1)->text(), QStringLiteral("2"));
    QTRY_COMPARE(eve.label("label_words", 3)->text(), QStringLiteral("1"));
    t.finishPhase();
    QTRY_COMPARE(late.label("label_score", 1)->text(), QStringLiteral("20"));
    QCOMPARE(slotWidget<QLabel>(late.chat, "label_ascore", 3)->text(), QStringLiteral("Score: 10"));
    t.finishPhase();

    for (Window *w : {&red, &blue, &eve, &late})
        QTRY_VERIFY(!winnerPanel(w->chat)->isHidden());
    QCOMPARE(winnerPanel(red.chat)->text(), QStringLiteral("You have Won the Game!"));
    for (Window *w : {&blue, &eve, &late})
        QCOMPARE(winnerPanel(w->chat)->text(), QStringLiteral("Red has Won the Game!"));
    QCOMPARE(redRecord, QStringList{QStringLiteral("addtomine")});
    QCOMPARE(blueRecord, QStringList{QStringLiteral("Red")});
    QCOMPARE(lateRecord, QStringList{QStringLiteral("Red")});
    QVERIFY(eveRecord.isEmpty());
    QVERIFY(!boardButton(red.chat, "button_start")->isHidden());
    QVERIFY(boardButton(blue.chat, "button_start")->isHidden());
    QVERIFY(env->errors.isEmpty());
}

QTEST_MAIN(GameTests)
#include "tst_game.moc"
