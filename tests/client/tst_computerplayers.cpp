// Computer players seated by the hosting window: the menu entry and who may use
// it, a seat filled and emptied through the seat pop-up, and the number of a
// solo game's computer players coming back at the next solo start.
#include "computerplayer.h"
#include "computerseats.h"
#include "servertable.h"
#include "inifile.h"
#include "settingsmodel.h"
#include "targetlist.h"
#include "tdictn.h"
#include "testfiles.h"
#include "tserver.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>

using namespace vexlo;

namespace {

// The game server of a hosting program with its windows.
struct Table : ServerTable
{
    ~Table()
    {
        windows.clear();
        server.shutdown();
    }
};

QString seat(const Window &w, int slot)
{
    return w.label("label_playername", slot)->text();
}

bool isBot(const QString &name)
{
    return name.endsWith(QLatin1String(" (bot)")) && name.size() > 6;
}

} // namespace

class ComputerPlayerTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { env = std::make_unique<TestEnvironment>(); }
    void init()
    {
        env->errors.clear();
        QFile::remove(iniPath());
    }

    void soloHostAddsAndRemovesOne();
    void onlyTheHostWithAFreeSeatAdds();
    void keptNumberComesBackAtTheNextSoloStart();
    void theyLeaveWithTheSession();

private:
    std::unique_ptr<TestEnvironment> env;
};

void ComputerPlayerTests::soloHostAddsAndRemovesOne()
{
    Table t;
    Window &w = t.host();
    Tchat &c = w.chat;
    QTRY_COMPARE(seat(w, 1), QStringLiteral("You"));
    QVERIFY(c.findChild<QMenu *>(QStringLiteral("BotSpeed1"))->menuAction()->isVisible());
    c.findChild<QAction *>(QStringLiteral("Fast1"))->trigger();
    QCOMPARE(storedSetting("Botspeed"), QStringLiteral("500"));
    QCOMPARE(storedSetting("Solobots"), QStringLiteral("<none>")); // the fifteen keys alone
    QTRY_VERIFY(action(c, "AddComputerPlayer1")->isEnabled());

    action(c, "AddComputerPlayer1")->trigger();
    QTRY_VERIFY(isBot(seat(w, 2)));
    QCOMPARE(c.seats().computerPlayers().manager().players().constFirst()->speed(), BotSpeed::Fast);
    QVERIFY(w.lines().contains(seat(w, 2) + QStringLiteral(" is Connected.")));
    QCOMPARE(storedSetting("Solobots"), QStringLiteral("1"));

    // The seat pop-up removes it as any player.
    openSeatMenu(w.label("label_playername", 2));
    QVERIFY(action(c, "RemoveFromGame1")->isEnabled());
    action(c, "RemoveFromGame1")->trigger();
    QTRY_COMPARE(seat(w, 2), QStringLiteral("<Waiting>"));
    QTRY_COMPARE(c.seats().computerPlayers().manager().count(), 0);
    QCOMPARE(c.seats().computerPlayers().count(), 0);
    QCOMPARE(storedSetting("Solobots"), QStringLiteral("0"));
    QVERIFY(env->errors.isEmpty());
}

void ComputerPlayerTests::onlyTheHostWithAFreeSeatAdds()
{
    Table t;
    QVERIFY(!action(Window().chat, "AddComputerPlayer1")->isEnabled()); // nothing hosted yet
    Window &host = t.host({QStringLiteral("Red"), QStringLiteral("127.0.0.1"), QStringLiteral("true")});
    QTRY_VERIFY(action(host.chat, "AddComputerPlayer1")->isEnabled());
    Window &blue = t.join(QStringLiteral("Blue"));
    QTRY_COMPARE(blue.chat.session().slot(), 2);
    Q_EMIT qobject_cast<QMenu *>(action(blue.chat, "AddComputerPlayer1")->parent())->aboutToShow();
    QVERIFY(!action(blue.chat, "AddComputerPlayer1")->isEnabled());
    action(blue.chat, "AddComputerPlayer1")->trigger(); // a joiner seats nobody
    QCOMPARE(blue.chat.seats().computerPlayers().count(), 0);

    // Four free seats: the fourth player on its way fills the table at once.
    for (int k = 0; k < 4; ++k) {
        QVERIFY(action(host.chat, "AddComputerPlayer1")->isEnabled());
        action(host.chat, "AddComputerPlayer1")->trigger();
    }
    QVERIFY(!action(host.chat, "AddComputerPlayer1")->isEnabled());
    for (int s = 3; s <= 6; ++s)
        QTRY_VERIFY(isBot(seat(blue, s)));
    action(host.chat, "AddComputerPlayer1")->trigger();
    QCOMPARE(host.chat.seats().computerPlayers().count(), 4);
    QVERIFY(!action(host.chat, "AddComputerPlayer1")->isEnabled());
    // A seat freed by a person leaving opens the entry again.
    blue.chat.session().socket().Close();
    QTRY_VERIFY(action(host.chat, "AddComputerPlayer1")->isEnabled());
    // A network game keeps no number.
    QCOMPARE(storedSetting("Solobots"), QStringLiteral("<none>"));
}

void ComputerPlayerTests::keptNumberComesBackAtTheNextSoloStart()
{
    {
        Table t;
        Window &w = t.host();
        QTRY_VERIFY(action(w.chat, "AddComputerPlayer1")->isEnabled());
        action(w.chat, "AddComputerPlayer1")->trigger();
        action(w.chat, "AddComputerPlayer1")->trigger();
        QTRY_VERIFY(isBot(seat(w, 2)) && isBot(seat(w, 3)));
        QCOMPARE(storedSetting("Solobots"), QStringLiteral("2"));
        w.chat.close(); // they leave with the session; the number stays
        QTRY_COMPARE(w.chat.seats().computerPlayers().manager().count(), 0);
        QCOMPARE(storedSetting("Solobots"), QStringLiteral("2"));
    }
    const QByteArray stored = slurp(iniPath());
    Table t;
    Window &w = t.host();
    QSignalSpy kept(&w.chat.seats().computerPlayers(), &ComputerSeats::keptChanged);
    QTRY_VERIFY(isBot(seat(w, 2)) && isBot(seat(w, 3)));
    QCOMPARE(kept.count(), 0);
    QCOMPARE(seat(w, 4), QStringLiteral("<Waiting>"));
    QCOMPARE(w.chat.seats().computerPlayers().count(), 2);
    QCOMPARE(slurp(iniPath()), stored); // coming back writes nothing
    QVERIFY(env->errors.isEmpty());
}

void ComputerPlayerTests::theyLeaveWithTheSession()
{
    Table t;
    Window &w = t.host();
    QTRY_VERIFY(action(w.chat, "AddComputerPlayer1")->isEnabled());
    action(w.chat, "AddComputerPlayer1")->trigger();
    QTRY_VERIFY(isBot(seat(w, 2)));
    w.chat.desktopHooks().confirm = [](QWidget *, const QString &) { return true; };
    // A new solo game from the window: the player leaves with the old session
    // and comes back in the new one.
    ComputerPlayer *old = w.chat.seats().computerPlayers().manager().players().constFirst();
    QSignalSpy gone(old, &ComputerPlayer::disconnected);
    qputenv("VEXLO_PORT", "0"); // any free port: the machine's own game port may be taken
    action(w.chat, "PlaySoloGame1")->trigger();
    qunsetenv("VEXLO_PORT");
    QVERIFY(gone.count() == 1 || gone.wait());
    QTRY_VERIFY(isBot(seat(w, 2)) && w.chat.seats().computerPlayers().count() == 1);
    QCOMPARE(storedSetting("Solobots"), QStringLiteral("1"));
    // A network game hosted from the window: they leave and do not follow.
    w.chat.session().host(QStringLiteral("Red"), QStringLiteral("0"));
    QTRY_COMPARE(seat(w, 1), QStringLiteral("Red"));
    QTRY_COMPARE(w.chat.seats().computerPlayers().manager().count(), 0);
    QCOMPARE(seat(w, 2), QStringLiteral("<Waiting>"));
    QCOMPARE(storedSetting("Solobots"), QStringLiteral("1"));
    QVERIFY(env->errors.isEmpty());
}

QTEST_MAIN(ComputerPlayerTests)
#include "tst_computerplayers.moc"
