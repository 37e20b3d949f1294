// The main window as a screen reader reads it: the accessible elements, their
// names, descriptions and actions through a round, the events that tell of a
// change, and a word played with nothing but accessibility actions and keys.
#include "accessibility.h"
#include "boardfixtures.h"
#include "targetlist.h"
#include "tdictn.h"
#include "tdownload.h"
#include "tserver.h"

#include <QAccessible>
#include <QLineEdit>
#include <QMenuBar>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

using namespace vexlo;

namespace {

// What the accessibility layer told a screen reader, in order.
struct Told
{
    QObject *object;
    QAccessible::Event what;
};
QList<Told> told;

void record(QAccessibleEvent *event)
{
    told.append({event->object(), event->type()});
}

int count(QObject *object, QAccessible::Event what)
{
    return int(std::count_if(told.cbegin(), told.cend(),
                             [&](const Told &t) { return t.object == object && t.what == what; }));
}

QAccessibleInterface *face(QObject *object)
{
    QAccessibleInterface *i = QAccessible::queryAccessibleInterface(object);
    if (!i)
        qFatal("no accessible interface");
    return i;
}

QString name(QObject *o) { return face(o)->text(QAccessible::Name); }
QString description(QObject *o) { return face(o)->text(QAccessible::Description); }

QWidget *row(const Tchat &c, const char *objectName)
{
    return c.findChild<QWidget *>(QLatin1String(objectName));
}

void press(QObject *o, const QString &action)
{
    QAccessibleActionInterface *a = face(o)->actionInterface();
    QVERIFY(a && a->actionNames().contains(action));
    a->doAction(action);
}

} // namespace

class AccessTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        env = std::make_unique<TestEnvironment>();
        // As when a screen reader listens: the widgets raise their events.
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::installUpdateHandler(record);
    }
    void init()
    {
        env->errors.clear();
        told.clear();
    }

    void readings();
    void rowsAndWordLabelThroughARound();
    void buttonsTypingBoxAndPictures();
    void statusSeatsAndWinner();
    void playAWordByAccessibilityAndKeys();
    void boardReaderHoldsTheFocusAndMenuBarLetsGo();
    void namesOfDialogsChatAndLists();

private:
    std::unique_ptr<TestEnvironment> env;
};

void AccessTests::readings()
{
    QCOMPARE(access::patternText({7, 0, 0, 0, 25}), QStringLiteral("G, blank, blank, blank, Y"));
    QCOMPARE(access::typedText({19, 20, 15, 0, 0}), QStringLiteral("S, T, O"));
    QCOMPARE(access::typedText({0, 0, 0, 0, 0}), QStringLiteral("empty"));
    QCOMPARE(access::wordSummary(QStringLiteral("Fifth Word"), 4), QStringLiteral("Fifth Word, 4 of 10 done"));
    QCOMPARE(access::wordSummary(QString(), 10), QStringLiteral("10 of 10 done"));
    QVERIFY(access::wordSummary(QString(), 0).isEmpty());
    QCOMPARE(access::seatSummary(QStringLiteral("25"), QStringLiteral("1"), true),
             QStringLiteral("total 25, 1 word this round, watching"));
    QCOMPARE(access::seatSummary(QStringLiteral("0"), QStringLiteral("3"), false),
             QStringLiteral("total 0, 3 words this round"));
}

void AccessTests::rowsAndWordLabelThroughARound()
{
    SeatedWindow s(3);
    Tchat &c = s.w.chat;
    QWidget *pattern = row(c, "row_pattern");
    QWidget *typed = row(c, "row_word");
    QCOMPARE(name(pattern), QStringLiteral("Pattern"));
    QCOMPARE(name(typed), QStringLiteral("Your word"));
    QCOMPARE(face(pattern)->childCount(), 0); // the tiles are read through their row
    QCOMPARE(description(pattern), QStringLiteral("empty"));

    s.open("g___y");
    QCOMPARE(description(pattern), QStringLiteral("G, blank, blank, blank, Y"));
    QTRY_COMPARE(count(pattern, QAccessible::DescriptionChanged), 1); // once for five tiles
    QCOMPARE(description(typed), QStringLiteral("empty"));
    QCOMPARE(name(boardLabel(c, "label_wordcount")), QStringLiteral("First Word, 0 of 10 done"));
    told.clear();
    QTest::keyClicks(chatEntry(c), QStringLiteral("sto"));
    QCOMPARE(description(typed), QStringLiteral("S, T, O"));
    QTRY_VERIFY(count(typed, QAccessible::DescriptionChanged) >= 1);
    QTest::keyClick(chatEntry(c), Qt::Key_Backspace);
    QCOMPARE(description(typed), QStringLiteral("S, T"));
    QTRY_VERIFY(count(typed, QAccessible::DescriptionChanged) >= 2);
    QCOMPARE(count(pattern, QAccessible::DescriptionChanged), 0); // unchanged rows stay quiet

    // Word 4 accepted, word 5 next.
    told.clear();
    s.w.feed("CMD_newword+3+4+5+_ro_e+");
    QCOMPARE(description(pattern), QStringLiteral("blank, R, O, blank, E"));
    QCOMPARE(description(typed), QStringLiteral("empty"));
    QCOMPARE(name(boardLabel(c, "label_wordcount")), QStringLiteral("Fifth Word, 1 of 10 done"));
    QVERIFY(count(boardLabel(c, "label_wordcount"), QAccessible::NameChanged) >= 1);
    QTRY_COMPARE(count(pattern, QAccessible::DescriptionChanged), 1);
    // The list complete: nothing left to read on the rows.
    s.w.feed("CMD_allfilled+3+5+");
    QCOMPARE(description(pattern), QStringLiteral("empty"));
    QCOMPARE(name(boardLabel(c, "label_wordcount")), QStringLiteral("2 of 10 done"));
    QVERIFY(env->errors.isEmpty());
}

void AccessTests::buttonsTypingBoxAndPictures()
{
    SeatedWindow s(2);
    Tchat &c = s.w.chat;
    s.open();
    const std::pair<QPushButton *, const char *> buttons[] = {
        {boardButton(c, "button_start"), "START GAME"},
        {boardButton(c, "button_pass"), "PASS WORD"},
        {boardButton(c, "button_clear"), "CLEAR WORD"}};
    for (const auto &[button, text] : buttons) {
        QCOMPARE(face(button)->role(), QAccessible::Button);
        QCOMPARE(name(button), QLatin1String(text));
        QVERIFY(face(button)->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    }
    QCOMPARE(description(boardButton(c, "button_pass")), QStringLiteral("'1' KEY"));
    press(boardButton(c, "button_pass"), QAccessibleActionInterface::pressAction());
    QCOMPARE(s.host.next(), QByteArray("CMD_pass+2+"));
    QTest::keyClicks(chatEntry(c), QStringLiteral("ab"));
    press(boardButton(c, "button_clear"), QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(description(row(c, "row_word")), QStringLiteral("empty"));

    // The typing box is a check box: its toggle flips board mode and chat mode.
    QAccessibleInterface *box = face(boardLabel(c, "checkbox_typing"));
    QCOMPARE(box->role(), QAccessible::CheckBox);
    QCOMPARE(box->text(QAccessible::Name), QStringLiteral("Type In Chat"));
    QVERIFY(box->state().checkable && !box->state().checked);
    told.clear();
    press(boardLabel(c, "checkbox_typing"), QAccessibleActionInterface::toggleAction());
    QVERIFY(c.round().model().chatMode());
    QVERIFY(box->state().checked);
    QCOMPARE(count(boardLabel(c, "checkbox_typing"), QAccessible::StateChanged), 1);

    // No picture goes without a name.
    QList<QWidget *> pictures{boardLabel(c, "image_logo"), boardLabel(c, "image_timer"), boardLabel(c, "image_goodjob"),
                              phraseButton(c, 10)};
    for (int i = 1; i <= 9; ++i)
        pictures << phraseButton(c, i);
    for (const char *prefix : {"image_eyes", "image_bonus", "image_fastest"})
        for (int i = 1; i <= 6; ++i)
            pictures << slotWidget<QWidget>(c, prefix, i);
    for (int i = 1; i <= 10; ++i)
        pictures << slotWidget<QWidget>(c, "image_check", i);
    for (QWidget *p : pictures)
        QVERIFY2(!name(p).isEmpty(), qPrintable(p->objectName()));
    QCOMPARE(name(s.w.gamestart.button_start), QStringLiteral("START GAME"));
}

void AccessTests::statusSeatsAndWinner()
{
    SeatedWindow s(1);
    Tchat &c = s.w.chat;
    s.open();
    told.clear();
    s.w.feed("CMD_invalid+1+2+");
    QCOMPARE(name(boardLabel(c, "label_status")), QStringLiteral("Invalid Word"));
    QCOMPARE(count(boardLabel(c, "label_status"), QAccessible::NameChanged), 1);
    s.w.feed("CMD_newword+1+1+2+c_a_t+");
    s.w.feed("CMD_timeup+1+");
    QCOMPARE(name(boardLabel(c, "label_status")), QStringLiteral("Time is Up."));
    QCOMPARE(count(boardLabel(c, "label_status"), QAccessible::NameChanged), 3); // Create Another Word, Time is Up.
    QCOMPARE(name(boardLabel(c, "label_timer")), QStringLiteral("Time: 0:00"));

    // A seat reads as its name and the rest of its line.
    s.w.feed("CMD_newplayerinfo+2+Blue");
    s.w.feed("CMD_hiscount+2+3+");
    s.w.feed("CMD_justwatching+2+1+");
    QLabel *blue = s.w.label("label_playername", 2);
    QCOMPARE(name(blue), QStringLiteral("Blue"));
    QCOMPARE(description(blue), QStringLiteral("total 0, 3 words this round, watching"));

    s.w.feed("CMD_postscores+2+1+1+cater+1+2+15+1+3+15+2+3+15+0+5+cater");
    QCOMPARE(name(c.findChild<QListWidget *>(QStringLiteral("listbox_original"))), QStringLiteral("Original Words"));
    QCOMPARE(name(slotWidget<QWidget>(c, "listbox_player", 1)), QStringLiteral("Red"));
    told.clear();
    s.w.feed("CMD_winner+Red+");
    QLabel *winner = c.findChild<QLabel *>(QStringLiteral("label_winner1"));
    QCOMPARE(name(winner), QStringLiteral("You have Won the Game!"));
    QVERIFY(count(winner, QAccessible::NameChanged) >= 1);
    // The shadow is not read twice.
    QVERIFY(face(c.findChild<QLabel *>(QStringLiteral("label_winner2")))->state().invisible);
    QCOMPARE(name(boardLabel(c, "label_status")), QStringLiteral("Game Over!"));
    QVERIFY2(env->errors.isEmpty(), qPrintable(env->errors.join(u'\n')));
}

void AccessTests::playAWordByAccessibilityAndKeys()
{
    const TDictn spell;
    const TargetList words;
    TServer server(&spell, &words);
    server.setSecondLength(3600 * 1000); // the round timer never runs out here
    Window w({}, &server);
    w.chat.session().setPort(QStringLiteral("0"));
    w.chat.start();
    QTRY_VERIFY(w.chat.session().loggedIn());

    // START GAME through its press action; the options window takes the keys:
    // the arrows set 1 round of 30 seconds and Enter starts it.
    press(boardButton(w.chat, "button_start"), QAccessibleActionInterface::pressAction());
    QTRY_VERIFY(w.gamestart.isVisible());
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(w.gamestart.edit_playtoscore, Qt::Key_Down);
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(w.gamestart.edit_creationtime, Qt::Key_Down);
    QTest::keyClick(w.gamestart.edit_creationtime, Qt::Key_Return);
    QVERIFY(!w.gamestart.isVisible());
    QTRY_COMPARE(w.chat.round().model().inputOwner(), 1);
    QCOMPARE(boardLabel(w.chat, "label_roundnum")->text(), QStringLiteral("Round: 1 of 1"));
    QCOMPARE(w.chat.round().model().creationTime(), 30);

    // Read the pattern, type the word it hides, read it back, Enter.
    const QByteArray target = server.board(1, 1).target;
    const QByteArray shape = server.board(1, 1).pattern;
    QList<int> expected;
    for (char ch : shape)
        expected << numofletter(ch);
    QCOMPARE(description(row(w.chat, "row_pattern")), access::patternText(expected));
    QTest::keyClicks(chatEntry(w.chat), QString::fromLatin1(target));
    QList<int> letters;
    for (char ch : target)
        letters << numofletter(ch);
    QCOMPARE(description(row(w.chat, "row_word")), access::typedText(letters));
    QTest::keyClick(chatEntry(w.chat), Qt::Key_Return);
    QTRY_COMPARE(name(boardLabel(w.chat, "label_wordcount")), QStringLiteral("Second Word, 1 of 10 done"));
    QCOMPARE(description(row(w.chat, "row_word")), QStringLiteral("empty"));

    // PASS WORD through its press action moves on without a check mark.
    press(boardButton(w.chat, "button_pass"), QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(name(boardLabel(w.chat, "label_wordcount")), QStringLiteral("Third Word, 1 of 10 done"));
    QVERIFY(env->errors.isEmpty());
}

void AccessTests::boardReaderHoldsTheFocusAndMenuBarLetsGo()
{
    SeatedWindow s(2);
    Tchat &c = s.w.chat;
    auto voice = [&c]() -> QWidget * {
        QWidget *f = c.focusWidget();
        return f && f->objectName().startsWith(QLatin1String("board_voice")) ? f : nullptr;
    };
    s.w.feed("CMD_startround+1+");
    s.open("g___y");
    // The round's news is the name the board's voice takes the focus with.
    QTRY_VERIFY(voice());
    QWidget *first = voice();
    QCOMPARE(face(first)->role(), QAccessible::Client);
    QCOMPARE(name(first), QStringLiteral("Round 1. First word: G, blank, blank, blank, Y."));

    // A menu bar left with the keys (Alt+F, Escape) does not take a round's letters.
    QTest::keyClick(c.menuBar(), Qt::Key_F);
    QTest::keyClick(c.menuBar(), Qt::Key_O);
    QCOMPARE(description(row(c, "row_word")), QStringLiteral("F, O"));
    QVERIFY(!QApplication::activePopupWidget());

    // News goes to the other voice, which takes the focus.
    s.w.feed("CMD_invalid+2+2+");
    QTRY_VERIFY(voice() && voice() != first);
    QVERIFY2(name(voice()).startsWith(QStringLiteral("Invalid Word.")), qPrintable(name(voice())));

    // Tab to chat mode hands the focus to the chat entry, Tab back to the board,
    // which says where the round stands.
    QTest::keyClick(voice(), Qt::Key_Tab);
    QVERIFY(c.round().model().chatMode());
    QTRY_COMPARE(c.focusWidget(), chatEntry(c));
    // News while chatting brings the focus to the board; typing goes on into the chat.
    c.round().model().startCountdown(11);
    c.round().model().tick();
    QTRY_VERIFY(voice());
    QCOMPARE(name(voice()), QStringLiteral("10 seconds left."));
    chatEntry(c)->clear();
    QTest::keyClick(voice(), Qt::Key_H);
    QTest::keyClick(c.focusWidget(), Qt::Key_I);
    QCOMPARE(c.focusWidget(), chatEntry(c));
    QCOMPARE(chatEntry(c)->text(), QStringLiteral("hi"));
    QTest::keyClick(chatEntry(c), Qt::Key_Tab);
    QTRY_VERIFY(voice());
    QCOMPARE(name(voice()), QStringLiteral("Round 1. First word: G, blank, blank, blank, Y. Your word: empty. "
                                           "0 of 10 done."));
    // The end of a round leaves the focus on the board, which says the scores.
    s.w.feed("CMD_timeup+1+");
    s.w.feed("CMD_postscores+0+2+2+5+2+3+5");
    QTRY_VERIFY2(voice() && name(voice()).contains(QStringLiteral("Scores of round 1: Red 5, total 5.")),
                 qPrintable(voice() ? name(voice()) : c.focusWidget()->objectName()));
    QVERIFY(env->errors.isEmpty());
}

void AccessTests::namesOfDialogsChatAndLists()
{
    SeatedWindow s(1);
    Tchat &c = s.w.chat;
    QCOMPARE(name(chatEntry(c)), QStringLiteral("Chat entry"));
    QCOMPARE(name(c.findChild<QWidget *>(QStringLiteral("mainchat"))), QStringLiteral("Chat log"));
    QVERIFY(boardButton(c, "button_start")->focusPolicy() & Qt::TabFocus);
    QVERIFY(name(s.w.gamestart.edit_creationtime).startsWith(QStringLiteral("Creation Time")));
    QVERIFY(name(s.w.gamestart.edit_playtoscore).startsWith(QStringLiteral("Rounds Per Game")));

    // The downloader is a dialog with groups in it, not windows.
    Tdownload download;
    QCOMPARE(face(&download)->role(), QAccessible::Dialog);
    for (const char *panel : {"panel_download", "panel_solo", "panel_others"})
        QCOMPARE(face(download.findChild<QWidget *>(QLatin1String(panel)))->role(), QAccessible::Grouping);

    // The score lists carry the score.
    s.w.feed("CMD_postscores+0+1+1+cater+1+1+paint+1+2+15+1+3+15+0+5+cater");
    auto *list = slotWidget<QListWidget>(c, "listbox_player", 1);
    QCOMPARE(description(list), QStringLiteral("Score: 15, total 15"));
    QVERIFY2(env->errors.isEmpty(), qPrintable(env->errors.join(u'\n')));
}

QTEST_MAIN(AccessTests)
#include "tst_access.moc"
