// What the window shows of a round, offscreen: the tiles and the word label, the
// board through a game's start, a word accepted and the list complete, the score
// panel and the winner. The round's rules themselves are the round controller's
// tests.
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

} // namespace

class RoundFlowTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { env = std::make_unique<TestEnvironment>(); }
    void init() { env->errors.clear(); }

    void patternsAndTheWordLabel();
    void boardThroughARound();
    void scorePanel();
    void winnerPanel();

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

void RoundFlowTests::boardThroughARound()
{
    SeatedWindow s(1);
    Tchat &c = s.w.chat;
    c.session().setHosting(true);
    boardButton(c, "button_start")->show();
    action(c, "JustWatch1")->setChecked(true);
    ::winnerPanel(c)->show();
    slotWidget<QLabel>(c, "label_score", 2)->setText(QStringLiteral("45"));
    s.w.feed("CMD_startgame+Red+5+60++");
    QCOMPARE(s.w.lastLine(), QStringLiteral("Red has started a game."));
    QVERIFY(boardButton(c, "button_start")->isHidden());
    QVERIFY(!action(c, "JustWatch1")->isChecked());
    QVERIFY(::winnerPanel(c)->isHidden() && ::scorePanel(c)->isHidden());
    QCOMPARE(slotWidget<QLabel>(c, "label_score", 2)->text(), QStringLiteral("0"));
    QCOMPARE(boardLabel(c, "label_roundnum")->text(), QStringLiteral("Round: 0 of 0"));
    s.w.feed("CMD_startround+1+");
    QCOMPARE(boardLabel(c, "label_roundnum")->text(), QStringLiteral("Round: 1 of 5"));
    s.open("c_a_t");
    QCOMPARE(boardLabel(c, "label_status")->text(), QStringLiteral("Type a Word - Press ENTER to submit your word."));
    QVERIFY(!boardButton(c, "button_pass")->isHidden() && !boardButton(c, "button_clear")->isHidden());

    // A word typed and accepted: the check mark and the next pattern.
    QTest::keyClicks(chatEntry(c), QStringLiteral("chant"));
    QCOMPARE(tags(c, "image_word"), (QList<int>{3, 8, 1, 14, 20}));
    QTest::keyClick(chatEntry(c), Qt::Key_Return);
    QCOMPARE(s.host.next(), QByteArray("CMD_myword+1+1+3+2+8+3+1+4+14+5+20"));
    s.w.feed("CMD_newword+1+1+2+_bou_+");
    QVERIFY(!slotWidget<QLabel>(c, "image_check", 1)->isHidden());
    QVERIFY(slotWidget<QLabel>(c, "image_check", 2)->isHidden());
    QCOMPARE(tags(c, "image_word"), (QList<int>{0, 0, 0, 0, 0}));
    QCOMPARE(tags(c, "image_gap"), (QList<int>{0, 2, 15, 21, 0}));
    QCOMPARE(boardLabel(c, "label_wordcount")->text(), QStringLiteral("Second Word"));
    QCOMPARE(boardLabel(c, "label_status")->text(), QStringLiteral("Create Another Word"));

    // The list complete: the praise, nothing on the rows, keys to the chat.
    s.w.feed("CMD_allfilled+1+2+");
    QVERIFY(!boardLabel(c, "image_goodjob")->isHidden());
    QVERIFY(!slotWidget<QLabel>(c, "image_check", 2)->isHidden());
    QVERIFY(boardButton(c, "button_pass")->isHidden() && boardButton(c, "button_clear")->isHidden());
    QVERIFY(slotWidget<QLabel>(c, "image_word", 1)->pixmap().isNull()
            && slotWidget<QLabel>(c, "image_gap", 1)->pixmap().isNull());
    QVERIFY(boardLabel(c, "label_wordcount")->text().isEmpty());
    chatEntry(c)->clear();
    QTest::keyClick(chatEntry(c), Qt::Key_Z);
    QCOMPARE(chatEntry(c)->text(), QStringLiteral("z"));
    s.w.feed("CMD_hiscount+4+7+");
    QCOMPARE(slotWidget<QLabel>(c, "label_words", 4)->text(), QStringLiteral("7"));
    QVERIFY(env->errors.isEmpty());
}

void RoundFlowTests::scorePanel()
{
    SeatedWindow s(3);
    Tchat &c = s.w.chat;
    s.w.feed("CMD_existingplayers+1+Red");
    s.w.feed("CMD_startgame+Red+5+60++");
    s.w.feed("CMD_startround+2+");
    s.open();
    s.w.feed(postScores("3"));
    QVERIFY(!::scorePanel(c)->isHidden());
    QCOMPARE(::scorePanel(c)->pos(), QPoint(4, 1));
    QCOMPARE(::scorePanel(c)->roundText(), QStringLiteral("Round: 2 of 5"));
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
    QVERIFY(!slotWidget<QLabel>(c, "image_bonus", 1)->isHidden());
    QCOMPARE(slotWidget<QLabel>(c, "label_ascore", 1)->text(), QStringLiteral("Score: 90"));
    // A free seat: no words, but total and bonus; no round points: an empty label.
    QVERIFY(items(slotWidget<QListWidget>(c, "listbox_player", 2)).isEmpty());
    QCOMPARE(slotWidget<QLabel>(c, "label_score", 2)->text(), QStringLiteral("7"));
    QVERIFY(!slotWidget<QLabel>(c, "image_bonus", 2)->isHidden());
    QVERIFY(slotWidget<QLabel>(c, "label_ascore", 2)->text().isEmpty());
    QCOMPARE(slotWidget<QLabel>(c, "label_name", 2)->text(), QStringLiteral("<Waiting>"));
    QCOMPARE(::scorePanel(c)->originals().value(9), QStringLiteral("target10"));

    // The next round clears the panel and its marks.
    s.w.feed("CMD_startround+3+");
    QVERIFY(::scorePanel(c)->isHidden());
    QVERIFY(slotWidget<QLabel>(c, "image_fastest", 3)->isHidden());
    QVERIFY(slotWidget<QLabel>(c, "image_bonus", 1)->isHidden());
    QVERIFY(items(slotWidget<QListWidget>(c, "listbox_player", 1)).isEmpty());
    // A damaged report is not shown; what came before the bad number stays.
    s.w.feed("CMD_postscores+0+1+3+40+x+3+50");
    QCOMPARE(env->errors, QStringList{QStringLiteral("'x' is not a valid integer value")});
    QCOMPARE(slotWidget<QLabel>(c, "label_score", 1)->text(), QStringLiteral("40"));
    QVERIFY(::scorePanel(c)->isHidden());
}

void RoundFlowTests::winnerPanel()
{
    // The host gets the start button back; another seat does not.
    for (const bool host : {true, false}) {
        SeatedWindow s(host ? 1 : 2, QStringLiteral("Blue"));
        Tchat &c = s.w.chat;
        c.session().setHosting(host);
        QStringList recorded;
        QObject::connect(&c, &Tchat::gameRecorded, &c, [&](const QString &text) { recorded << text; });
        s.w.feed("CMD_newplayerinfo+1+" + QByteArray(host ? "Blue" : "Red"));
        s.w.feed(postScores("1"));
        boardLabel(c, "image_goodjob")->show();
        s.w.feed(host ? "CMD_winner+Blue+" : "CMD_winner+Red+");
        const QString text = host ? QStringLiteral("You have Won the Game!") : QStringLiteral("Red has Won the Game!");
        QCOMPARE(::winnerPanel(c)->text(), text);
        QCOMPARE(::winnerPanel(c)->findChild<QLabel *>(QStringLiteral("label_winner2"))->text(), text);
        QCOMPARE(boardLabel(c, "label_status")->text(), QStringLiteral("Game Over!"));
        QCOMPARE(s.w.lastLine(), text);
        QVERIFY(!::winnerPanel(c)->isHidden());
        QVERIFY(!::scorePanel(c)->isHidden()); // the last round's scores stay under it
        QVERIFY(boardLabel(c, "image_goodjob")->isHidden());
        QCOMPARE(boardButton(c, "button_start")->isHidden(), !host);
        QCOMPARE(recorded, QStringList{host ? QStringLiteral("addtomine") : QStringLiteral("Red")});
        // The next game hides the panels again.
        s.w.feed("CMD_startgame+Red+5+60++");
        QVERIFY(::winnerPanel(c)->isHidden() && ::scorePanel(c)->isHidden());
    }
}

QTEST_MAIN(RoundFlowTests)
#include "tst_roundflow.moc"
