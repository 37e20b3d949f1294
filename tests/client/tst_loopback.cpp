// Whole windows over loopback with a real game server in the process: a solo
// start, a host with joining players chatting, removal, just-watching, spies,
// a refused tenth connection, and the host's departure ending the others.
#include "fixtures.h"
#include "targetlist.h"
#include "tdictn.h"
#include "tserver.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include "tgamestart.h"
#include <QTextEdit>
#include <QToolButton>

using namespace vexlo;

namespace {

// A game server and the lobby's port, both on free ports of this machine.
struct Table
{
    const TDictn spell;
    const TargetList words;
    TServer server{&spell, &words};
    QTcpServer lobby;
    std::vector<std::unique_ptr<Window>> windows;

    Table() { lobby.listen(QHostAddress::LocalHost, 0); }

    // The host's window, started from a command line; the server picks its port.
    Window &host(const QStringList &args)
    {
        windows.push_back(std::make_unique<Window>(args, &server));
        Window &w = *windows.back();
        w.chat.session().setPort(QStringLiteral("0"));
        w.chat.session().setLobbyPort(QString::number(lobby.serverPort()));
        QObject::connect(&w.chat, &Tchat::closed, &server, [this] { server.shutdown(); });
        w.chat.start();
        return w;
    }
    Window &join(const QString &name)
    {
        windows.push_back(std::make_unique<Window>(
            QStringList{name, QStringLiteral("127.0.0.1"), QStringLiteral("false")}));
        Window &w = *windows.back();
        w.chat.session().setPort(QString::number(server.listeningPort()));
        w.chat.session().setLobbyPort(QString::number(lobby.serverPort()));
        w.chat.start();
        return w;
    }
};

bool hasLine(const Window &w, const QString &line)
{
    return w.lines().contains(line);
}

} // namespace

class LoopbackTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { env = std::make_unique<TestEnvironment>(); }
    void init() { env->errors.clear(); }

    void soloStart();
    void hostWithTwoPlayers();
    void spiesAndTheTenthConnection();
    void hostingOnABusyPort();

private:
    std::unique_ptr<TestEnvironment> env;
};

void LoopbackTests::soloStart()
{
    Table t;
    Window &w = t.host({});
    QCOMPARE(w.lines().value(0), QStringLiteral("Loading Solo Game..Please wait."));
    QTRY_VERIFY(hasLine(w, QStringLiteral("You are Connected.")));
    QCOMPARE(w.chat.session().playerName(), QStringLiteral("You"));
    QCOMPARE(w.label("label_playername", 1)->text(), QStringLiteral("You"));
    QVERIFY(w.chat.session().isHost());
    QCOMPARE(w.chat.session().slot(), 1);
    QVERIFY(!boardButton(w.chat, "button_start")->isHidden());
    QVERIFY(action(w.chat, "StartGame1")->isEnabled());
    QVERIFY(w.spylist.popup_kickhim->isEnabled());
    QCOMPARE(w.sounds, QStringList{QStringLiteral("entered")});
    QVERIFY(!w.chat.session().lobbySocket().hasHandle()); // no lobby link for a solo game
    QTRY_VERIFY(!w.chat.session().ticking()); // idle: the queue timer sleeps
    QVERIFY(env->errors.isEmpty());
}

void LoopbackTests::hostWithTwoPlayers()
{
    Table t;
    Window &red = t.host({QStringLiteral("Red"), QStringLiteral("10.0.0.5"), QStringLiteral("true")});
    QCOMPARE(red.lines().value(0), QStringLiteral("Loading Multi-player Game.. Please Wait."));
    QCOMPARE(red.chat.session().socket().HostName(), QStringLiteral("127.0.0.1")); // not the address given
    QTRY_VERIFY(t.lobby.hasPendingConnections());                    // the lobby link
    QTRY_COMPARE(red.label("label_playername", 1)->text(), QStringLiteral("Red"));
    Window &blue = t.join(QStringLiteral("Blue"));
    QTRY_COMPARE(blue.chat.session().slot(), 2);
    Window &green = t.join(QStringLiteral("Green"));
    QTRY_COMPARE(green.label("label_playername", 2)->text(), QStringLiteral("Blue"));
    QTRY_COMPARE(red.label("label_playername", 3)->text(), QStringLiteral("Green"));
    QTRY_COMPARE(blue.label("label_playername", 3)->text(), QStringLiteral("Green"));
    QCOMPARE(green.label("label_playername", 1)->text(), QStringLiteral("Red"));
    QVERIFY(boardButton(blue.chat, "button_start")->isHidden() && !action(blue.chat, "StartGame1")->isEnabled());
    QVERIFY(!blue.spylist.popup_kickhim->isEnabled());
    QVERIFY(hasLine(red, QStringLiteral("Green is Connected.")));
    QVERIFY(hasLine(green, QStringLiteral("Red is Connected.")));
    // The score panel of Green (slot 3) shows its own column first.
    QCOMPARE(slotWidget<QWidget>(green.chat, "label_name", 3)->x(), 134);

    // Everybody sees every line, the sender's own included.
    QTest::keyClicks(chatEntry(blue.chat), QStringLiteral("hello"));
    QTest::keyClick(chatEntry(blue.chat), Qt::Key_Return);
    chatEntry(green.chat)->setText(QStringLiteral("/me waves"));
    Q_EMIT chatView(green.chat)->entered();
    phraseButton(red.chat, 1)->click();
    for (Window *w : {&red, &blue, &green}) {
        QTRY_VERIFY(hasLine(*w, QStringLiteral("Blue chats: hello")));
        QTRY_VERIFY(hasLine(*w, QStringLiteral("Green waves")));
        QTRY_VERIFY(hasLine(*w, QStringLiteral("Red says: Way To Go!")));
    }
    // Loading the settings at login turned chatter sounds on; lines instead.
    if (red.chat.preferences().options().chatterSounds)
        red.chat.preferences().toggleChatterSounds();
    if (green.chat.preferences().options().chatterSounds)
        green.chat.preferences().toggleChatterSounds();
    blue.chat.chat().sendSound(3);
    QTRY_VERIFY(hasLine(red, QStringLiteral("Blue: <Chatter Sound> Hello")));
    action(green.chat, "PlayChatterSounds1")->trigger();
    blue.chat.chat().sendSound(10);
    QTRY_COMPARE(green.sounds.last(), QStringLiteral("wave10"));

    // The host starts a game; then Just Watch, asked by a player, is granted by the server.
    boardButton(red.chat, "button_start")->click();
    QVERIFY(red.gamestart.isVisible());
    red.gamestart.button_start->click();
    QTRY_VERIFY(t.server.gameInProgress());
    action(blue.chat, "JustWatch1")->trigger();
    QTRY_VERIFY(action(blue.chat, "JustWatch1")->isChecked());
    QTRY_VERIFY(!red.label("image_eyes", 2)->isHidden());
    QVERIFY(hasLine(red, QStringLiteral("Blue is just watching")));

    // The host removes Green: Green's program ends, the others free the seat.
    openSeatMenu(red.label("label_playername", 3));
    action(red.chat, "RemoveFromGame1")->trigger();
    QTRY_VERIFY(green.closed);
    QTRY_VERIFY(hasLine(red, QStringLiteral("Green disconnected.")));
    QTRY_COMPARE(blue.label("label_playername", 3)->text(), QStringLiteral("<Waiting>"));
    // A player cannot remove anybody.
    blue.chat.seats().remove(1);
    chatEntry(blue.chat)->setText(QStringLiteral("after"));
    Q_EMIT chatView(blue.chat)->entered();
    QTRY_VERIFY(hasLine(red, QStringLiteral("Blue chats: after")));
    QVERIFY(!red.closed);

    // The host leaves: everybody's program ends.
    red.chat.close();
    QVERIFY(red.closed);
    QTRY_VERIFY(blue.closed);
    QVERIFY(env->errors.isEmpty());
}

void LoopbackTests::spiesAndTheTenthConnection()
{
    Table t;
    Window &host = t.host({QStringLiteral("Host"), QStringLiteral("127.0.0.1"), QStringLiteral("true")});
    QTRY_VERIFY(host.chat.session().loggedIn());
    for (int i = 2; i <= 6; ++i) {
        Window &w = t.join(QStringLiteral("P%1").arg(i));
        QTRY_COMPARE(w.chat.session().slot(), i);
    }
    Window &spy = t.join(QStringLiteral("Eve"));
    QTRY_COMPARE(spy.chat.session().slot(), 7);
    QTRY_VERIFY(hasLine(spy, QStringLiteral("You are spying.")));
    QCOMPARE(spy.lines().mid(1, 2), strings({"You are Connected.", "You are spying."}));
    QTRY_COMPARE(host.spylist.listbox_spys->count(), 1);
    QCOMPARE(host.spylist.listbox_spys->item(0)->text(), QStringLiteral("7: Eve"));
    QTRY_VERIFY(hasLine(host, QStringLiteral("Eve is spying.")));
    // The spy sees the seats and the other spies see it.
    QTRY_COMPARE(spy.label("label_playername", 6)->text(), QStringLiteral("P6"));

    // The host removes the spy from the spy list.
    host.spylist.listTag = 0;
    host.spylist.popup_kickhim->trigger();
    QTRY_VERIFY(spy.closed);
    QTRY_VERIFY(hasLine(host, QStringLiteral("Eve has left.")));
    QCOMPARE(host.spylist.listbox_spys->count(), 0);

    // Nine connections fill the game; the tenth is told and its window closes.
    for (int slot = 7; slot <= 9; ++slot) {
        Window &w = t.join(QStringLiteral("S%1").arg(slot));
        QTRY_COMPARE(w.chat.session().slot(), slot);
    }
    QTRY_COMPARE(host.spylist.listbox_spys->count(), 3);
    Window &tenth = t.join(QStringLiteral("Late"));
    QTRY_VERIFY(tenth.closed);
    // "Game is full" shows when the message is handled before the connection's
    // close, which drops whatever still waits; either way the window closes.
    QVERIFY(tenth.boxes.isEmpty() || tenth.boxes == QStringList{QStringLiteral("Game is full")});
    QVERIFY(!tenth.chat.session().loggedIn());
    QVERIFY(!host.closed);
    QVERIFY(env->errors.isEmpty());
}

void LoopbackTests::hostingOnABusyPort()
{
    QTcpServer busy;
    QVERIFY(busy.listen(QHostAddress::AnyIPv4, 0));
    TServer server;
    Window w({}, &server);
    w.chat.session().setPort(QString::number(busy.serverPort()));
    guarded([&] { w.chat.start(); });
    QCOMPARE(env->errors, QStringList{QStringLiteral("Listen - Error Binding Socket")});
    // Nothing after the failure: no connection, no start button; the window stays.
    QVERIFY(!w.chat.session().socket().hasHandle());
    QVERIFY(boardButton(w.chat, "button_start")->isHidden());
    QVERIFY(!w.closed);
    Q_EMIT boardButton(w.chat, "button_start")->clicked();
    QCOMPARE(w.boxes, QStringList{QStringLiteral("You are not connected")});
}

QTEST_MAIN(LoopbackTests)
#include "tst_loopback.moc"
