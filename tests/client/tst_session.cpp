// The session without a window: what is a command, one message a tick, a
// damaged field reported while the queue goes on, a flood while an error box
// holds the queue, a message longer than the limit; connects that fail, each
// said once.
#include "core.h"
#include "hostaddress.h"
#include "targetlist.h"
#include "tdictn.h"
#include "tserver.h"

#include <QHostInfo>

#include <QMessageBox>
#include <QSignalSpy>

using namespace vexlo;

class SessionTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { env = std::make_unique<TestEnvironment>(); }
    void init() { env->errors.clear(); }

    void queueDispatchAndErrors();
    void floodWhileAnErrorBoxIsOpen();
    void longMessageIsCut();
    void failedConnectsAreSaid();

private:
    std::unique_ptr<TestEnvironment> env;
};

void SessionTests::queueDispatchAndErrors()
{
    Core k(1);
    // A command word without "+" is no command; words are compared exactly.
    for (const char *m : {"CMD_timeup", "CMD_bogus+1", "", "+x", "cmd_chat+A chats: lower|clRed"})
        k.feed(m);
    QVERIFY(k.lines.isEmpty() && k.sounds.isEmpty());
    k.feed("CMD_timeup+1+");
    QCOMPARE(k.round.model().status(), QStringLiteral("Time is Up."));
    QCOMPARE(k.session.waiting(), 0);
    // A number that is not one: the error, and the next message goes on.
    k.session.enqueue("CMD_newplayerinfo+x2+Bob");
    k.session.enqueue("CMD_newplayerinfo+2+Bob");
    k.session.tick();
    QCOMPARE(env->errors, QStringList{QStringLiteral("'x2' is not a valid integer value")});
    QVERIFY(k.lines.isEmpty());
    QCOMPARE(k.session.waiting(), 1); // one message per tick
    k.session.tick();
    QCOMPARE(k.lines, QStringList{QStringLiteral("Bob is Connected.")});
    // The bad field comes from the network: cut in the text, shown as plain text.
    const QByteArray markup = "<h1>x</h1><img src=\"a\">" + QByteArray(60, 'y');
    k.feed("CMD_playerdisconnected+" + markup + "+Bob");
    QCOMPARE(env->errors.last(), QString::fromLatin1("'" + markup.left(60) + "...' is not a valid integer value"));
    const std::unique_ptr<QMessageBox> box(platform::errorBox(env->errors.last()));
    QCOMPARE(box->textFormat(), Qt::PlainText);
    // Versions only inform.
    k.feed("CMD_havewrongversion+Oldie");
    k.feed("CMD_wrongversion+");
    QCOMPARE(k.lines.mid(1), strings({"Oldie has a different version of the game then you.",
                                      "You have a differnt version of the game then the host."}));
    // The timer runs while messages wait and stops when the queue is empty.
    k.host.push(frame("CMD_chat+A chats: 1|clBlack") + frame("CMD_chat+A chats: 2|clBlack"));
    QTRY_COMPARE(k.lines.size(), 5);
    QTRY_VERIFY(!k.session.ticking());
}

void SessionTests::floodWhileAnErrorBoxIsOpen()
{
    // An error box holds the queue; the server floods meanwhile: first many
    // small messages, then fewer large ones. Past 10,000 messages or 16 MB the
    // connection is closed as if the server had gone, while the box is still open.
    for (const int size : {10, 4000}) {
        const int count = size == 10 ? 10001 : 4200; // 4200 x 4006 bytes > 16 MB
        Core k(1);
        QSignalSpy closed(&k.session, &Session::closedByServer);
        QByteArray flood;
        for (int i = 0; i < count; ++i)
            flood += frame("CMD_x+" + QByteArray(size, 'a'));
        bool reported = false;
        bool closedWhileOpen = false;
        setErrorReporter([&](const QString &) {
            k.host.push(flood);
            closedWhileOpen = QTest::qWaitFor([&] { return closed.count() > 0; }, 3000);
            reported = true;
        });
        k.host.push(frame("CMD_newplayerinfo+x+Bob"));
        QTRY_VERIFY_WITH_TIMEOUT(reported, 5000);
        setErrorReporter([this](const QString &text) { env->errors << text; });
        QVERIFY(closedWhileOpen);
        QVERIFY2(k.lines.last().startsWith(QStringLiteral("Too many messages from the server are waiting")),
                 qPrintable(k.lines.last()));
        QCOMPARE(k.session.waiting(), 0);
    }
}

void SessionTests::longMessageIsCut()
{
    Core k(1);
    const QByteArray text = "CMD_chat+" + QByteArray(5000, 'a');
    k.host.push(frame(text) + frame("CMD_chat+B chats: after|clBlack"));
    QTRY_COMPARE(k.lines.size(), 2);
    QCOMPARE(k.lines[0].size(), 4096 - 9); // 4,096 bytes of message, less "CMD_chat+"
    QCOMPARE(k.lines[1], QStringLiteral("B chats: after"));
}

namespace {

// A port nothing listens on now.
QString freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::Any, 0);
    return QString::number(probe.serverPort());
}

} // namespace

void SessionTests::failedConnectsAreSaid()
{
    // The command line's join no longer waits for ever either.
    Session cmd;
    QStringList said;
    QObject::connect(&cmd, &Session::line, &cmd, [&](const QString &l) { said << l; });
    cmd.setPort(freePort());
    cmd.setLobbyPort(cmd.port());
    cmd.startFromArgs({QStringLiteral("Blue"), QStringLiteral("127.0.0.1"), QStringLiteral("false")});
    QTRY_COMPARE(said.value(said.size() - 1), QStringLiteral("Could not connect to 127.0.0.1: the host refused the connection."));
    QVERIFY(!cmd.socket().hasHandle());

    Session s;
    QStringList lines;
    QObject::connect(&s, &Session::line, &s, [&](const QString &l) { lines << l; });
    auto join = [&](const QString &typed) { s.join(QStringLiteral("Blue"), typed, parseHostAddress(typed)); };
    const QString refused = QStringLiteral("127.0.0.1:") + freePort();
    join(refused);
    QTRY_COMPARE(lines.last(), QStringLiteral("Could not connect to %1: the host refused the connection.").arg(refused));
    QVERIFY(!s.socket().hasHandle());
    QCOMPARE(s.title(), QStringLiteral("Vexlo"));
    join(QStringLiteral("nosuchhost.invalid"));
    QTRY_COMPARE(lines.last(), QStringLiteral("Could not connect to nosuchhost.invalid: the host name was not found."));

    // A connect that nobody answers is given up when the timer runs out.
    const TDictn spell;
    const TargetList words;
    TServer host(&spell, &words);
    host.startListening(QStringLiteral("0"));
    const QString port = QString::number(host.listeningPort());
    join(QStringLiteral("127.0.0.1:") + port);
    QVERIFY(s.connecting());
    s.connectTimedOut();
    QCOMPARE(lines.last(), QStringLiteral("Could not connect to 127.0.0.1:%1: no answer within 10 seconds.").arg(port));
    QVERIFY(!s.socket().hasHandle());
    // The same while the name is still being looked up; an answer that comes
    // after that is let go.
    join(QStringLiteral("localhost:") + port);
    s.connectTimedOut();
    QCOMPARE(lines.last(), QStringLiteral("Could not connect to localhost:%1: no answer within 10 seconds.").arg(port));
    QHostInfo late(1);
    late.setAddresses({QHostAddress(QHostAddress::LocalHost)});
    s.hostLookedUp(late);
    QVERIFY(!s.socket().hasHandle());

    // Each failure said once; then a join works.
    QCOMPARE(lines.filter(QStringLiteral("Could not connect")).size(), 4);
    join(QStringLiteral("127.0.0.1:") + port);
    QTRY_VERIFY(s.loggedIn());
    QVERIFY(!s.connecting());
    QVERIFY(env->errors.isEmpty());
    host.shutdown();
}

int runSessionTests(int argc, char **argv)
{
    SessionTests t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_session.moc"
