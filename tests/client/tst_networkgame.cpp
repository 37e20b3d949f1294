// Hosting, joining and solo play chosen from the window: joins by name and by
// IPv6 address, connects that fail (said once, the window stays usable), hosting
// on a taken port, and one window going from solo to hosting to joining.
#include "fixtures.h"
#include "hostaddress.h"
#include "networkchoices.h"
#include "serverannouncer.h"
#include "servicepublisher.h"
#include "settingsmodel.h"
#include "targetlist.h"
#include "tdictn.h"
#include "tdownload.h"
#include "tfindgame.h"
#include "thostgame.h"
#include "tjoingame.h"
#include "testfiles.h"
#include "tserver.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>

using namespace vexlo;

namespace {

const QString kDash = QString(QChar(0x2014));

// A port nothing listens on now.
quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::Any, 0);
    return probe.serverPort();
}

bool portIsFree(quint16 port)
{
    QTcpServer probe;
    return probe.listen(QHostAddress::Any, port);
}

// A game server of its own on a free port of every address, IPv4 and IPv6.
struct Host
{
    const TDictn spell;
    const TargetList words;
    TServer server{&spell, &words};
    Host() { server.startListening(QStringLiteral("0")); }
    QString port() const { return QString::number(server.listeningPort()); }
};

struct Player : Window
{
    QStringList questions;
    bool answer = true;
    explicit Player(const QStringList &args = {}, TServer *server = nullptr) : Window(args, server)
    {
        chat.desktopHooks().confirm = [this](QWidget *, const QString &q) {
            questions << q;
            return answer;
        };
    }
    void join(const QString &name, const QString &address)
    {
        chat.networkDialogs().openJoinGame(false);
        Tjoingame *d = chat.networkDialogs().joinDialog();
        QVERIFY(d && d->isVisible());
        d->edit_name->setText(name);
        d->combo_address->setEditText(address);
        d->button_ok->click();
    }
    void host(const QString &name, quint16 port)
    {
        chat.networkDialogs().openHostGame(false);
        Thostgame *d = chat.networkDialogs().hostDialog();
        QVERIFY(d && d->isVisible());
        d->edit_name->setText(name);
        d->edit_port->setValue(port);
        d->button_ok->click();
    }
    qsizetype count(const QString &line) const { return lines().count(line); }
    // The window can start anything again.
    bool usable()
    {
        return !closed && !chat.session().socket().hasHandle() && action(chat, "HostNetworkGame1")->isEnabled()
               && action(chat, "JoinNetworkGame1")->isEnabled() && action(chat, "PlaySoloGame1")->isEnabled();
    }
};

// The actions of the menu entry: each one's name and the words its Exec line
// gives the program. The entry is validated first where the tool exists.
QMap<QString, QStringList> desktopActions()
{
    const QString file = QStringLiteral(VEXLO_DESKTOP_FILE);
    if (const QString validate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        !validate.isEmpty()) {
        QProcess check;
        check.start(validate, {file});
        check.waitForFinished(30000);
        const QByteArray out = check.readAll();
        if (check.exitCode() != 0 || !out.isEmpty())
            qWarning("desktop-file-validate: %s", out.constData());
        if (check.exitCode() != 0)
            return {};
    }
    QMap<QString, QStringList> actions;
    QString name;
    for (const QString &line : QString::fromUtf8(slurp(file)).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('[')))
            name.clear();
        else if (line.startsWith(QLatin1String("Name=")))
            name = line.mid(5);
        else if (line.startsWith(QLatin1String("Exec=vexlo ")) && !name.isEmpty())
            actions.insert(name, line.mid(11).split(QLatin1Char(' '), Qt::SkipEmptyParts));
    }
    return actions;
}

} // namespace

class NetworkGameTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { env = std::make_unique<TestEnvironment>(); }
    void init() { env->errors.clear(); }
    void cleanup() { qunsetenv("VEXLO_PORT"); }

    void joinByNameAndByIPv6();
    void failedConnectsAreSaid();
    void badAddressStaysInTheDialog();
    void hostingOnATakenPort();
    void soloThenHostingThenJoining();
    void desktopActionsAndTheDownloader();

private:
    std::unique_ptr<TestEnvironment> env;
};

void NetworkGameTests::joinByNameAndByIPv6()
{
    Host h;
    Player byName;
    byName.join(QStringLiteral("Blue"), QStringLiteral("localhost:") + h.port());
    QTRY_VERIFY(byName.chat.session().loggedIn());
    QCOMPARE(byName.lines().value(0), QStringLiteral("Loading Multi-player Game.. Please Wait."));
    QCOMPARE(byName.chat.windowTitle(), QStringLiteral("Vexlo %1 joined localhost:%2").arg(kDash, h.port()));
    QVERIFY(boardButton(byName.chat, "button_start")->isHidden());

    Player bracketed;
    bracketed.join(QStringLiteral("Green"), QStringLiteral("[::1]:") + h.port());
    QTRY_COMPARE(bracketed.chat.session().slot(), 2);
    QCOMPARE(h.server.peerAddress(2), QStringLiteral("::1"));

    // A bare IPv6 address goes to the default port.
    qputenv("VEXLO_PORT", h.port().toLatin1());
    Player bare;
    bare.join(QStringLiteral("Gold"), QStringLiteral("::1"));
    QTRY_COMPARE(bare.chat.session().slot(), 3);
    QTRY_COMPARE(bare.label("label_playername", 1)->text(), QStringLiteral("Blue"));
    QCOMPARE(bare.chat.windowTitle(), QStringLiteral("Vexlo %1 joined ::1").arg(kDash));

    // The dialog remembers the name and the addresses, the last one first.
    NetworkChoices kept;
    kept.load(byName.chat.preferences().file().file());
    QCOMPARE(kept.playerName, QStringLiteral("Gold"));
    QCOMPARE(kept.recentHosts.mid(0, 2), (QStringList{QStringLiteral("::1"), QStringLiteral("[::1]:") + h.port()}));
    byName.chat.networkDialogs().openJoinGame(false);
    QCOMPARE(byName.chat.networkDialogs().joinDialog()->combo_address->currentText(), QStringLiteral("::1"));
    QCOMPARE(byName.chat.networkDialogs().joinDialog()->edit_name->text(), QStringLiteral("Gold"));
    byName.chat.networkDialogs().joinDialog()->reject();
    QVERIFY(env->errors.isEmpty());
}

void NetworkGameTests::failedConnectsAreSaid()
{
    // Said once in the chat; the window stays usable and its title plain.
    Player w;
    const QString refused = QStringLiteral("127.0.0.1:%1").arg(freePort());
    w.join(QStringLiteral("Blue"), refused);
    const QString line = QStringLiteral("Could not connect to %1: the host refused the connection.").arg(refused);
    QTRY_COMPARE(w.lastLine(), line);
    QCOMPARE(w.count(line), 1);
    QVERIFY(w.usable());
    QCOMPARE(w.chat.windowTitle(), QStringLiteral("Vexlo"));
    QVERIFY(env->errors.isEmpty() && w.boxes.isEmpty());
}

void NetworkGameTests::badAddressStaysInTheDialog()
{
    Player w;
    const QByteArray before = slurp(w.chat.preferences().file().file().fileName());
    w.join(QStringLiteral("Blue"), QStringLiteral("300.1.2.3"));
    Tjoingame *d = w.chat.networkDialogs().joinDialog();
    QVERIFY(d->isVisible());
    QVERIFY(!d->label_error->isHidden());
    QCOMPARE(d->label_error->text(), QStringLiteral("300.1.2.3 is not an IPv4 address."));
    QCOMPARE(d->combo_address->currentText(), QStringLiteral("300.1.2.3")); // kept for mending
    d->edit_name->clear();
    d->combo_address->setEditText(QStringLiteral("localhost"));
    d->button_ok->click();
    QCOMPARE(d->label_error->text(), QStringLiteral("Type the name the others will see."));
    QVERIFY(d->isVisible() && !w.chat.session().socket().hasHandle());
    d->reject();
    QCOMPARE(slurp(w.chat.preferences().file().file().fileName()), before); // nothing kept from a refused dialog
}

void NetworkGameTests::hostingOnATakenPort()
{
    QTcpServer busy;
    QVERIFY(busy.listen(QHostAddress::AnyIPv4, 0));
    TServer server;
    Player w({}, &server);
    w.host(QStringLiteral("Red"), busy.serverPort());
    QCOMPARE(w.lastLine(), QStringLiteral("Could not host on port %1: the port is in use.").arg(busy.serverPort()));
    QVERIFY(env->errors.isEmpty());
    QVERIFY(w.usable() && !w.chat.session().isHost());
    QVERIFY(boardButton(w.chat, "button_start")->isHidden());
    QCOMPARE(w.chat.windowTitle(), QStringLiteral("Vexlo"));
}

void NetworkGameTests::soloThenHostingThenJoining()
{
    const TDictn spell;
    const TargetList words;
    TServer own(&spell, &words);
    Player w({}, &own);
    w.chat.session().setPort(QStringLiteral("0"));
    w.chat.start();
    QTRY_VERIFY(w.chat.session().loggedIn());
    const quint16 soloPort = own.listeningPort();
    QCOMPARE(w.chat.windowTitle(), QStringLiteral("Vexlo %1 solo").arg(kDash));
    auto *announcer = w.chat.findChild<discovery::ServerAnnouncer *>();
    QVERIFY(announcer && !announcer->publisher()); // a solo game is never announced
    const QString settingsPath = settingsFilePath(qEnvironmentVariable("VEXLO_HOME"));
    const QByteArray settingsBefore = slurp(settingsPath);

    // Solo, no game running: no question. The solo server's port is free again.
    const quint16 hostPort = freePort();
    w.host(QStringLiteral("Red"), hostPort);
    QTRY_COMPARE(w.label("label_playername", 1)->text(), QStringLiteral("Red"));
    QVERIFY(w.questions.isEmpty());
    QVERIFY(portIsFree(soloPort));
    QCOMPARE(w.chat.windowTitle(), QStringLiteral("Vexlo %1 hosting on port %2").arg(kDash).arg(hostPort));
    QCOMPARE(w.lines().value(0), QStringLiteral("Loading Multi-player Game.. Please Wait."));
    QVERIFY(!boardButton(w.chat, "button_start")->isHidden());
    // A hosted network game is announced (the tests have no Avahi daemon: it
    // stays unregistered); the option is written only once it is changed.
    discovery::ServicePublisher *announced = announcer->publisher();
    QVERIFY(announced && announced->published());
    QVERIFY(action(w.chat, "AnnounceGames1")->isChecked());
    QCOMPARE(slurp(settingsPath), settingsBefore);
    action(w.chat, "AnnounceGames1")->trigger();
    QVERIFY(!announced->published() && !action(w.chat, "AnnounceGames1")->isChecked());
    QCOMPARE(loadAnnounce(IniFile(settingsPath)), false);
    action(w.chat, "AnnounceGames1")->trigger();
    QVERIFY(announced->published());
    QCOMPARE(loadAnnounce(IniFile(settingsPath)), true);

    Window guest({QStringLiteral("Blue"), QStringLiteral("127.0.0.1"), QStringLiteral("false")});
    guest.chat.session().setPort(QString::number(hostPort));
    guest.chat.start();
    QTRY_COMPARE(w.label("label_playername", 2)->text(), QStringLiteral("Blue"));

    // Others are connected: asked first; No keeps everything.
    Host other;
    w.answer = false;
    w.join(QStringLiteral("Red"), QStringLiteral("localhost:") + other.port());
    QCOMPARE(w.questions,
             QStringList{QStringLiteral("Leave the current game? The other players will be disconnected.")});
    QVERIFY(w.chat.session().isHost() && w.chat.session().loggedIn());
    QCOMPARE(w.label("label_playername", 2)->text(), QStringLiteral("Blue"));

    w.answer = true;
    w.join(QStringLiteral("Red"), QStringLiteral("localhost:") + other.port());
    QTRY_VERIFY(w.chat.session().loggedIn());
    QVERIFY(!w.chat.session().isHost() && !w.closed);
    QTRY_VERIFY(guest.closed); // the old host's departure ends the guest's program
    QVERIFY(portIsFree(hostPort));
    QCOMPARE(w.label("label_playername", 2)->text(), QStringLiteral("<Waiting>"));
    QCOMPARE(w.chat.windowTitle(), QStringLiteral("Vexlo %1 joined localhost:%2").arg(kDash, other.port()));
    QVERIFY(boardButton(w.chat, "button_start")->isHidden() && !action(w.chat, "StartGame1")->isEnabled());
    QVERIFY(!announced->published()); // withdrawn when hosting stopped
    QVERIFY(env->errors.isEmpty());
}

void NetworkGameTests::desktopActionsAndTheDownloader()
{
    const TDictn spell;
    const TargetList words;
    TServer own(&spell, &words);
    qputenv("VEXLO_PORT", QByteArray::number(freePort()));
    // The menu entry's actions, as the desktop starts them: "Host Network Game"
    // opens the window at the Host dialog, unconnected; cancelling it plays solo.
    const QMap<QString, QStringList> actions = desktopActions();
    QCOMPARE(actions.keys(), (QStringList{QStringLiteral("Host Network Game"), QStringLiteral("Join Network Game")}));
    Player w(actions.value(QStringLiteral("Host Network Game")), &own);
    w.chat.start();
    QVERIFY(w.chat.networkDialogs().hostDialog() && w.chat.networkDialogs().hostDialog()->isVisible());
    QVERIFY(!w.chat.session().socket().hasHandle() && w.lines().isEmpty());
    QCOMPARE(w.chat.networkDialogs().hostDialog()->edit_port->value(), qEnvironmentVariableIntValue("VEXLO_PORT"));
    w.chat.networkDialogs().hostDialog()->reject();
    QTRY_VERIFY(w.chat.session().loggedIn());
    QCOMPARE(w.chat.session().playerName(), QStringLiteral("You"));

    // The downloader's "Play with Others", with no lobby installed, offers Find a Game.
    Tdownload download(&w.chat);
    w.chat.attachAuxWindows({nullptr, nullptr, nullptr, &download, nullptr});
    download.show();
    download.Button2Click();
    QVERIFY(!download.isVisible());
    QVERIFY(w.chat.networkDialogs().findDialog() && w.chat.networkDialogs().findDialog()->isVisible());
    // Cancelling this one changes nothing.
    w.chat.networkDialogs().findDialog()->reject();
    QVERIFY(w.chat.session().loggedIn() && w.chat.session().isHost());

    // "Join Network Game" opens the Join dialog.
    Player j(actions.value(QStringLiteral("Join Network Game")));
    j.chat.start();
    QVERIFY(j.chat.networkDialogs().joinDialog() && j.chat.networkDialogs().joinDialog()->isVisible());
    QVERIFY(env->errors.isEmpty());
}

QTEST_MAIN(NetworkGameTests)
#include "tst_networkgame.moc"
