// vexlo-server as a service: the address it binds, the operator's log lines on
// standard error, --quiet, and its systemd unit. Loopback only.
#include "catalogue.h"
#include "serverprogram.h"
#include "testclient.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <memory>

using namespace vexlo;

namespace {

} // namespace

class ServiceTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void bindsTheAddressGiven();
    void logsArrivalsDeparturesAndGames();
    void quietLogsNothing();
    void unitFileVerifies();
};

void ServiceTests::bindsTheAddressGiven()
{
    const std::pair<QHostAddress, QHostAddress> cases[] = {
        {QHostAddress::LocalHostIPv6, QHostAddress::LocalHost},
        {QHostAddress::LocalHost, QHostAddress::LocalHostIPv6},
    };
    for (const auto &[bound, other] : cases) {
        ServerProgram server({QStringLiteral("--bind"), bound.toString()});
        QVERIFY2(server.port != 0, qPrintable(bound.toString()));
        TestClient in(server.port, bound);
        QCOMPARE(in.login("Red"), 1);
        QVERIFY(in.waitFor("CMD_newplayerinfo+1+Red"));
        // The other loopback address is not listened on.
        TestClient out(server.port, other);
        QTRY_VERIFY(out.sock.state() == QAbstractSocket::UnconnectedState);
        QVERIFY(out.got.isEmpty());
    }
}

void ServiceTests::logsArrivalsDeparturesAndGames()
{
    ServerProgram server({});
    QVERIFY(server.port != 0);
    TestClient red(server.port);
    QCOMPARE(red.login("Red"), 1);
    TestClient blue(server.port, QHostAddress::LocalHostIPv6);
    QCOMPARE(blue.login("Blue\nfake line"), 2);
    QVERIFY(red.waitFor("CMD_newplayerinfo+2+Blue\nfake line"));
    red.send("CMD_startgame+Red+3+45+");
    QVERIFY(red.waitFor("CMD_startround+1+"));
    red.send("CMD_kickhim+1+2+");
    QVERIFY(red.waitFor("CMD_playerdisconnected+2+Blue\nfake line"));
    red.sock.disconnectFromHost();

    const QString time = QStringLiteral(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)");
    server.logged("slot 1 left", 3000);
    const QStringList lines = QString::fromLatin1(server.err).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QStringList expected = {
        QStringLiteral("127.0.0.1 slot 1 arrived: \"Red\""),
        QStringLiteral("::1 slot 2 arrived: \"Blue\\x0afake line\""),
        QStringLiteral("127.0.0.1 game started by slot 1: 3 rounds of 45 seconds"),
        QStringLiteral("::1 slot 2 removed by the host: \"Blue\\x0afake line\""),
        QStringLiteral("::1 slot 2 left: \"Blue\\x0afake line\""),
        QStringLiteral("127.0.0.1 slot 1 left: \"Red\""),
    };
    QCOMPARE(lines.size(), expected.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QRegularExpression line(u'^' + time + u' ' + QRegularExpression::escape(expected[i]) + u'$');
        QVERIFY2(line.match(lines[i]).hasMatch(), qPrintable(lines[i]));
    }
}

void ServiceTests::quietLogsNothing()
{
    ServerProgram server({QStringLiteral("--quiet")});
    QVERIFY(server.port != 0);
    TestClient red(server.port);
    QCOMPARE(red.login("Red"), 1);
    TestClient blue(server.port);
    QCOMPARE(blue.login("Blue"), 2);
    QVERIFY(red.waitFor("CMD_newplayerinfo+2+Blue"));
    red.send("CMD_startgame+Red+3+45+");
    QVERIFY(blue.waitFor("CMD_startround+1+"));
    red.sock.disconnectFromHost();
    QVERIFY(blue.waitFor("CMD_playerdisconnected+1+Red"));
    QCOMPARE(server.process.readAllStandardError(), QByteArray());
}

void ServiceTests::unitFileVerifies()
{
    const QString analyze = QStandardPaths::findExecutable(QStringLiteral("systemd-analyze"));
    if (analyze.isEmpty())
        QSKIP("systemd-analyze is not installed");
    // The unit as installed, but starting the program just built; its man page is
    // found in the build tree.
    QProcess verify;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MANPATH"), QStringLiteral(VEXLO_MAN_PATH));
    verify.setProcessEnvironment(env);
    QStringList args{QStringLiteral("verify"), QStringLiteral(VEXLO_TEST_UNIT)};
    if (QStandardPaths::findExecutable(QStringLiteral("man")).isEmpty())
        args.prepend(QStringLiteral("--man=no")); // Documentation= names a man page
    verify.start(analyze, args);
    QVERIFY(verify.waitForFinished(30000));
    const QByteArray out = verify.readAllStandardOutput() + verify.readAllStandardError();
    QVERIFY2(verify.exitCode() == 0 && out.isEmpty(), out.constData());
}

QTEST_GUILESS_MAIN(ServiceTests)
#include "tst_service.moc"
