// The main window fed server messages through its dispatcher, offscreen: seats,
// watchers, the column order, the queue, the chat view and entry, phrase
// buttons, chatter sounds, and the two small windows. A stand-in host records
// what the window sends.
#include "fixtures.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>

using namespace vexlo;

namespace {
// Where a widget lies on the board.
QRect onBoard(const Tchat &c, const QWidget *w)
{
    return QRect(w->mapTo(c.findChild<QWidget *>(QStringLiteral("panel_board")), QPoint()), w->size());
}
} // namespace

class WindowTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { env = std::make_unique<TestEnvironment>(); }
    void init() { env->errors.clear(); }

    void startsAsDesigned();
    void commandLineWithTooFewWords();
    void loginAndTheColumnOrder();
    void firstSeatKeepsTheColumns();
    void seatsShown();
    void seatPopupAndRemoval();
    void startButtonAndGameOptions();
    void fullGameAndClosedSocket();
    void spyListRemoval();

private:
    std::unique_ptr<TestEnvironment> env;
};

void WindowTests::startsAsDesigned()
{
    Window w;
    Tchat &c = w.chat;
    QCOMPARE(boardLabel(c, "label_status")->text(), QStringLiteral("Welcome to Vexlo by Quorbit Software"));
    QCOMPARE(c.findChild<QWidget *>(QStringLiteral("panel_board"))->size(), QSize(764, 529));
    QCOMPARE(onBoard(c, chatText(c)), QRect(285, 320, 476, 183));
    QCOMPARE(onBoard(c, chatEntry(c)), QRect(285, 504, 356, 22));
    QCOMPARE(chatEntry(c)->text(), QStringLiteral("<Enter Chat Here>"));
    QCOMPARE(boardButton(c, "button_start")->geometry(), QRect(30, 323, 197, 43));
    QVERIFY(boardButton(c, "button_start")->isHidden());
    const int tops[] = {368, 389, 410, 432, 453, 474};
    for (int i = 1; i <= 6; ++i) {
        QCOMPARE(w.label("label_playername", i)->text(), QStringLiteral("<Waiting>"));
        QCOMPARE(onBoard(c, w.label("label_playername", i)), QRect(20, tops[i - 1], 100, 16));
        QCOMPARE(onBoard(c, w.label("label_score", i)).x(), 122);
        QCOMPARE(onBoard(c, w.label("label_words", i)).x(), 186);
        QVERIFY(w.label("image_eyes", i)->isHidden());
    }
    QCOMPARE(w.label("label_playername", 4)->property("hint").toString(), QStringLiteral("Kling"));
    const QStringList phrases = strings({"Way To Go!", "Good One!", "Nice Try!", "Excellent!", "Brilliant!",
                                 "Wow, WTG!",  "Thanks!",   "Way To Go Teamie!", "Good Game Everyone!"});
    for (int i = 1; i <= 9; ++i)
        QCOMPARE(phraseButton(c, i)->toolTip(), phrases[i - 1]);
    QCOMPARE(onBoard(c, phraseButton(c, 10)), QRect(257, 504, 27, 21)); // the sound button
    // The menus in their order.
    QStringList menus;
    for (QAction *a : c.menuBar()->actions())
        menus << a->text();
    QCOMPARE(menus, strings({"&File", "&Options", "&Tiles", "&View", "&Help"}));
    // Every entry of every menu has an underlined letter of its own within its menu.
    QList<QMenu *> open{c.menuBar()->findChildren<QMenu *>()};
    open << c.findChild<QMenu *>(QStringLiteral("popup_kick"));
    for (const char *name : {"popup_mainchat", "popup_mychat", "popup_sounds"})
        open << c.findChild<QMenu *>(QLatin1String(name));
    QVERIFY(!open.contains(nullptr));
    for (const QMenu *menu : open) {
        QStringList letters;
        for (const QAction *a : menu->actions()) {
            if (a->isSeparator())
                continue;
            const QString mnemonic = QKeySequence::mnemonic(a->text()).toString();
            QVERIFY2(!mnemonic.isEmpty() && !letters.contains(mnemonic), qPrintable(a->text()));
            letters << mnemonic;
        }
    }
    QCOMPARE(action(c, "StartGame1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_G));
    QVERIFY(!action(c, "StartGame1")->isEnabled());
    QVERIFY(action(c, "PlaySounds1")->isChecked() && !action(c, "PlayChatterSounds1")->isChecked());
    QVERIFY(c.findChild<QMenu *>(QStringLiteral("BotSpeed1"))->menuAction()->isVisible() && !action(c, "AddComputerPlayer1")->isEnabled());
    QVERIFY(action(c, "ViewTally1")->isEnabled() && action(c, "PhraseList1")->isEnabled() && action(c, "About1")->isEnabled());
    QVERIFY(action(c, "Help2")->isEnabled() && action(c, "ResetScreenLocation1")->isEnabled() && action(c, "AutoEraseInvalidWord1")->isChecked());
    QCOMPARE(action(c, "Help2")->shortcut(), QKeySequence(Qt::Key_F1));
    QVERIFY(action(c, "SpyList1")->isEnabled());
    QCOMPARE(vexlo::clBlue, clBlue);
    QVERIFY(!c.session().ticking()); // nothing waits, nothing ticks
}

void WindowTests::commandLineWithTooFewWords()
{
    Window w({QStringLiteral("Red"), QStringLiteral("10.0.0.5")});
    w.chat.start();
    QCOMPARE(w.lines(), QStringList{QStringLiteral("Loading Multi-player Game.. Please Wait.")});
    QVERIFY(!w.chat.session().socket().hasHandle());
    QVERIFY(!w.chat.session().lobbySocket().hasHandle());
    QVERIFY(!w.chat.session().isHost());
}

void WindowTests::loginAndTheColumnOrder()
{
    FakeHost host;
    Window w;
    QVERIFY(host.attach(w.chat, QStringLiteral("Red Fox")));
    QWidget *col1 = slotWidget<QWidget>(w.chat, "listbox_player", 1);
    QWidget *col4 = slotWidget<QWidget>(w.chat, "listbox_player", 4);
    w.feed("CMD_sendlogininfo+4");
    QCOMPARE(host.next(), QByteArray("CMD_logininfo+4+1.0.3+Red Fox"));
    QVERIFY(w.chat.session().loggedIn());
    QCOMPARE(w.chat.session().slot(), 4);
    // Columns 1 and 4 swapped their names, all five elements of each.
    QCOMPARE(slotWidget<QWidget>(w.chat, "listbox_player", 4), col1);
    QCOMPARE(slotWidget<QWidget>(w.chat, "listbox_player", 1), col4);
    const int left1[] = {134, 133, 154, 138, 139}; // label_name .. image_fastest of the first column
    const char *prefixes[] = {"label_name", "label_ascore", "image_bonus", "listbox_player", "image_fastest"};
    for (int k = 0; k < 5; ++k) {
        QCOMPARE(slotWidget<QWidget>(w.chat, prefixes[k], 4)->x(), left1[k]);
        QVERIFY(slotWidget<QWidget>(w.chat, prefixes[k], 1)->x() > 300);
        QCOMPARE(w.chat.findChildren<QWidget *>(QLatin1String(prefixes[k]) + QStringLiteral("0")).size(), 0);
    }
    // The seat list keeps the plain order.
    QCOMPARE(onBoard(w.chat, w.label("label_playername", 1)).y(), 368);
}

void WindowTests::firstSeatKeepsTheColumns()
{
    Seated s(1);
    QCOMPARE(slotWidget<QWidget>(s.w.chat, "label_name", 1)->x(), 134);
    QCOMPARE(slotWidget<QWidget>(s.w.chat, "image_fastest", 1)->x(), 139);
    Seated spy(7);
    QCOMPARE(slotWidget<QWidget>(spy.w.chat, "label_name", 1)->x(), 134);
}

void WindowTests::seatsShown()
{
    Seated s(4);
    Window &w = s.w;
    w.feed("CMD_newplayerinfo+4+Red");
    w.feed("CMD_existingplayers+1+Host");
    w.feed("CMD_existingplayers+2+"); // not logged in yet
    w.feed("CMD_newplayerinfo+3+<b>Bold</b>");
    w.feed("CMD_newplayerinfo+7+Spy+Co");
    QCOMPARE(w.label("label_playername", 1)->text(), QStringLiteral("Host"));
    QVERIFY(!w.label("label_score", 1)->isHidden());
    QCOMPARE(w.label("label_playername", 2)->text(), QString());
    QVERIFY(w.label("label_score", 5)->isHidden());
    // Names are shown as text, never as markup.
    QCOMPARE(w.label("label_playername", 3)->textFormat(), Qt::PlainText);
    QCOMPARE(w.spylist.listbox_spys->item(0)->text(), QStringLiteral("7: Spy+Co"));

    // The check mark and the eyes follow the server's answer.
    w.feed("CMD_justwatching+4+1");
    QVERIFY(action(w.chat, "JustWatch1")->isChecked());
    QVERIFY(!w.label("image_eyes", 4)->isHidden());
    w.feed("CMD_justwatching+4+2");
    QVERIFY(!action(w.chat, "JustWatch1")->isChecked());
    QVERIFY(w.label("image_eyes", 4)->isHidden());

    // Departures free the seat's line and the spy list; the score stays.
    w.feed("CMD_justwatching+1+1");
    w.label("label_score", 1)->setText(QStringLiteral("35"));
    w.feed("CMD_playerdisconnected+1+Host");
    QCOMPARE(w.label("label_playername", 1)->text(), QStringLiteral("<Waiting>"));
    QVERIFY(w.label("image_eyes", 1)->isHidden());
    QCOMPARE(w.label("label_score", 1)->text(), QStringLiteral("35"));
    w.feed("CMD_playerdisconnected+7+SPY+CO");
    QCOMPARE(w.spylist.listbox_spys->count(), 0);
    QCOMPARE(w.lastLine(), QStringLiteral("SPY+CO has left."));
    QVERIFY(env->errors.isEmpty());
}

void WindowTests::seatPopupAndRemoval()
{
    Seated s(2);
    Tchat &c = s.w.chat;
    s.w.feed("CMD_existingplayers+1+Host");
    // Not the host: everything disabled.
    openSeatMenu(s.w.label("label_playername", 1));
    QVERIFY(!action(c, "RemoveFromGame1")->isEnabled() && !action(c, "SettoJustWatch1")->isEnabled() && !action(c, "UnsetJustWatch1")->isEnabled());
    c.seats().remove(1);
    QVERIFY(s.host.quiet(c));

    Seated h(1);
    Tchat &hc = h.w.chat;
    hc.session().setHosting(true);
    h.w.feed("CMD_newplayerinfo+3+Green");
    openSeatMenu(h.w.label("label_playername", 5)); // a free seat
    QVERIFY(!action(hc, "RemoveFromGame1")->isEnabled());
    QVERIFY(action(hc, "SettoJustWatch1")->isEnabled() && action(hc, "UnsetJustWatch1")->isEnabled());
    openSeatMenu(h.w.label("label_playername", 3));
    QVERIFY(action(hc, "RemoveFromGame1")->isEnabled());
    action(hc, "RemoveFromGame1")->trigger();
    QCOMPARE(h.host.next(), QByteArray("CMD_kickhim+1+3+"));
    action(hc, "SettoJustWatch1")->trigger();
    QCOMPARE(h.host.next(), QByteArray("CMD_justwatch+3+1"));
    action(hc, "UnsetJustWatch1")->trigger();
    QCOMPARE(h.host.next(), QByteArray("CMD_justwatch+3+2"));
    // The score panel's labels always aim at slot 1.
    openSeatMenu(h.w.label("label_ascore", 5));
    action(hc, "SettoJustWatch1")->trigger();
    QCOMPARE(h.host.next(), QByteArray("CMD_justwatch+1+1"));
}

void WindowTests::startButtonAndGameOptions()
{
    Window w;
    Q_EMIT boardButton(w.chat, "button_start")->clicked();
    QCOMPARE(w.boxes, QStringList{QStringLiteral("You are not connected")});
    QVERIFY(!w.gamestart.isVisible());

    Seated s(1);
    Q_EMIT boardButton(s.w.chat, "button_start")->clicked();
    QVERIFY(s.w.gamestart.isVisible());
    Tgamestart &g = s.w.gamestart;
    QCOMPARE(g.windowTitle(), QStringLiteral("Vexlo - Game Start"));
    QCOMPARE(g.edit_playtoscore->text(), QStringLiteral("5"));
    QCOMPARE(g.edit_creationtime->text(), QStringLiteral("60"));
    g.button_start->click();
    QCOMPARE(s.host.next(), QByteArray("CMD_startgame+Red+5+60+"));
    QVERIFY(!g.isVisible());
    // The arrows stop at their ends, in their steps.
    g.edit_playtoscore->setValue(10);
    g.edit_playtoscore->stepBy(1);
    QCOMPARE(g.edit_playtoscore->value(), 10);
    g.edit_creationtime->setValue(30);
    g.edit_creationtime->stepBy(-1);
    QCOMPARE(g.edit_creationtime->value(), 30);
    g.edit_creationtime->stepBy(3);
    QCOMPARE(g.edit_creationtime->text(), QStringLiteral("45"));
    g.edit_creationtime->setValue(120);
    g.edit_creationtime->stepBy(1);
    QCOMPARE(g.edit_creationtime->value(), 120);
    g.edit_playtoscore->setValue(1);
    g.edit_playtoscore->stepBy(-1);
    QCOMPARE(g.edit_playtoscore->value(), 1);
    g.button_startClick();
    QCOMPARE(s.host.next(), QByteArray("CMD_startgame+Red+1+120+"));
}

void WindowTests::fullGameAndClosedSocket()
{
    Seated s(1);
    s.w.feed("CMD_full+");
    QCOMPARE(s.w.boxes, QStringList{QStringLiteral("Game is full")});
    QVERIFY(s.w.closed);

    // The host closes the connection: the window closes at once, dropping what waits.
    Seated t(2);
    t.w.chat.session().enqueue("CMD_chat+x chats: late|clBlack");
    t.host.peer->disconnectFromHost();
    QTRY_VERIFY(t.w.closed);
    QVERIFY(t.w.chat.session().waiting() == 0);
    QVERIFY(!t.w.chat.session().ticking());
}

void WindowTests::spyListRemoval()
{
    Seated h(1);
    h.w.chat.session().setHosting(true);
    Tspylist &spy = h.w.spylist;
    QCOMPARE(spy.windowTitle(), QStringLiteral("Vexlo - Spys"));
    h.w.feed("CMD_newplayerinfo+7+Eve");
    h.w.feed("CMD_newplayerinfo+9+Mallory");
    QCOMPARE(spy.listbox_spys->item(1)->text(), QStringLiteral("9: Mallory"));
    spy.listTag = -1; // the pointer below the last item
    spy.popup_kickhimClick();
    QVERIFY(h.host.quiet(h.w.chat));
    spy.listTag = 1;
    spy.popup_kickhimClick();
    QCOMPARE(h.host.next(), QByteArray("CMD_kickhim+1+9+"));
    // A watcher listed before its login is announced again when it logs in: one
    // entry, gone when it leaves.
    h.w.feed("CMD_existingplayers+8+");
    h.w.feed("CMD_newplayerinfo+8+Bob");
    QCOMPARE(spy.listbox_spys->count(), 3);
    QCOMPARE(spy.listbox_spys->item(2)->text(), QStringLiteral("8: Bob"));
    h.w.feed("CMD_playerdisconnected+8+Bob");
    QCOMPARE(spy.listbox_spys->count(), 2);
    spy.listbox_spys->addItem(QStringLiteral("x: odd"));
    spy.listTag = 2;
    spy.popup_kickhimClick();
    QVERIFY(h.host.quiet(h.w.chat));
    // Only hosting enables it.
    QVERIFY(spy.popup_kickhim->isEnabled());
    h.w.chat.session().setHosting(false);
    QVERIFY(!spy.popup_kickhim->isEnabled());
}

int runWindowTests(int argc, char **argv)
{
    WindowTests t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_window.moc"
