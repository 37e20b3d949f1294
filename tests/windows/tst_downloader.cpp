// The lobby downloader against a local HTTP server: a download that starts the
// installer, Stop Download in the middle, a 404, a refused connection, files
// that cannot be written, and the two play buttons.
#include "errorreport.h"
#include "httpserver.h"
#include "tdownload.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

QString text(const Tdownload &w, const char *label)
{
    return w.findChild<QLabel *>(QLatin1String(label))->text();
}

QPushButton *button(const Tdownload &w, const char *name)
{
    return w.findChild<QPushButton *>(QLatin1String(name));
}

// The message box the window shows, if any.
QString message(const Tdownload &w)
{
    auto *box = w.findChild<QMessageBox *>(QStringLiteral("message"));
    return box ? box->text() : QString();
}

// The digest file published beside an installer: the hex SHA-256 and the name.
QByteArray published(const QByteArray &installer)
{
    return QCryptographicHash::hash(installer, QCryptographicHash::Sha256).toHex().toUpper() + "  qslsetup.exe\n";
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A fresh data folder for each test, with a file the served installer writes
// its arguments to.
struct Home
{
    QTemporaryDir dir;
    Home() { qputenv("VEXLO_HOME", dir.path().toLocal8Bit()); }
    ~Home() { qunsetenv("VEXLO_HOME"); }
    QString trace() const { return dir.filePath(QStringLiteral("trace")); }
    QString installer() const { return dir.filePath(QStringLiteral("qslsetup.exe")); }
    // A shell script that leaves its arguments, one a line, in trace().
    QByteArray script() const
    {
        return "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + trace().toLocal8Bit() + "'\n";
    }
};

} // namespace

class DownloaderTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void addressAndDataFolder();
    void successfulDownloadStartsTheInstaller();
    void unverifiedDownloadIsKeptAndNotRun();
    void stopDownloadMidTransferThenDownloadAgain();
    void serverErrorsAbortTheDownload_data();
    void serverErrorsAbortTheDownload();
    void stopWithNothingRunning();
    void installerThatCannotStart();
    void filesThatCannotBeWritten();
    void playSoloGame();
    void playWithOthers();
};

void DownloaderTests::addressAndDataFolder()
{
    qunsetenv("VEXLO_LOBBY_URL");
    QCOMPARE(Tdownload::lobbyUrl(), QStringLiteral("https://www.example.com/lobby/qslsetup.exe"));
    qputenv("VEXLO_LOBBY_URL", "http://127.0.0.1:9/x/setup.sh");
    QCOMPARE(Tdownload().URL(), QStringLiteral("http://127.0.0.1:9/x/setup.sh"));
    qunsetenv("VEXLO_LOBBY_URL");

    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("a/b"));
    qputenv("VEXLO_HOME", home.toLocal8Bit());
    QCOMPARE(Tdownload::dataFolder(), home);
    QVERIFY(QFileInfo(home).isDir());
    qunsetenv("VEXLO_HOME");
}

void DownloaderTests::successfulDownloadStartsTheInstaller()
{
    Home home;
    HttpServer server;
    server.body = home.script();
    server.digest = published(server.body);
    Tdownload w;
    w.setURL(server.url());
    QSignalSpy exits(&w, &Tdownload::exitRequested);

    QTest::mouseClick(button(w, "getbutton"), Qt::LeftButton);
    QVERIFY(w.downloading());
    QCOMPARE(w.downloadState(), int(Tdownload::StateStarted));
    QVERIFY(!button(w, "getbutton")->isEnabled());
    QVERIFY(button(w, "abortbutton")->isEnabled());
    QCOMPARE(text(w, "infolabel2"), QStringLiteral("qslsetup.exe"));

    QTRY_VERIFY(!w.downloading());
    const QString received = QStringLiteral("Received %1 bytes").arg(server.body.size());
    QCOMPARE(text(w, "infolabel"), received);
    QCOMPARE(text(w, "infolabel3"), QStringLiteral("Installing"));
    QVERIFY(button(w, "getbutton")->isEnabled());
    QVERIFY(!button(w, "abortbutton")->isEnabled());
    QCOMPARE(exits.count(), 1);
    QCOMPARE(readAll(home.installer()), server.body);
    QVERIFY(QFileInfo(home.installer()).isExecutable());
    QTRY_COMPARE(readAll(home.trace()), QByteArray("/SP-\n/silent\n/noicons\n"));

    // The requests as the lobby's web server sees them: the installer, then its digest.
    QCOMPARE(server.requests.size(), 2);
    const QByteArray request = server.requests.first();
    QVERIFY(request.startsWith("GET /lobby/qslsetup.exe HTTP/1."));
    QVERIFY(request.contains("\r\nUser-Agent: Mozilla/3.0 (compatible)\r\n"));
    QVERIFY(request.contains("\r\nAccept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"));
    QVERIFY(server.requests[1].startsWith("GET /lobby/qslsetup.exe.sha256 HTTP/1."));
}

void DownloaderTests::unverifiedDownloadIsKeptAndNotRun()
{
    // Over plain HTTP: a digest that does not match, or none at all.
    for (const bool withDigest : {true, false}) {
        Home home;
        HttpServer server;
        server.body = home.script();
        server.digest = withDigest ? published("another installer") : QByteArray();
        Tdownload w;
        w.setURL(server.url());
        QSignalSpy exits(&w, &Tdownload::exitRequested);
        w.getbuttonClick();
        QTRY_VERIFY(!w.downloading());
        QCOMPARE(server.requests.size(), 2);
        QCOMPARE(text(w, "infolabel3"), QStringLiteral("The download could not be verified."));
        QCOMPARE(readAll(home.installer()), server.body); // kept
        QVERIFY(button(w, "getbutton")->isEnabled());
        QVERIFY(!button(w, "abortbutton")->isEnabled());
        QCOMPARE(exits.count(), 0); // nothing started (a start ends the game at once)
        QCOMPARE(message(w), QString());
    }
}

void DownloaderTests::stopDownloadMidTransferThenDownloadAgain()
{
    Home home;
    HttpServer server;
    server.mode = HttpServer::Stall;
    server.body = home.script() + QByteArray(4000, '#');
    Tdownload w;
    w.setURL(server.url(QStringLiteral("/get/")));
    QSignalSpy exits(&w, &Tdownload::exitRequested);

    // An address that names no file is saved under the usual name.
    w.getbuttonClick();
    QCOMPARE(text(w, "infolabel2"), QStringLiteral("qslsetup.exe"));
    QCOMPARE(text(w, "infolabel"), QStringLiteral("Loading"));
    // The status line, the two header fields: a mark each.
    QTRY_COMPARE(text(w, "infolabel"), QStringLiteral("Loading..."));
    QCOMPARE(text(w, "infolabel3"), QStringLiteral("Downloading: qslsetup.exe"));
    server.sendPart(100);
    QTRY_COMPARE(text(w, "infolabel"), QStringLiteral("100 bytes"));
    server.sendPart(50);
    QTRY_COMPARE(text(w, "infolabel"), QStringLiteral("150 bytes"));

    QTest::mouseClick(button(w, "abortbutton"), Qt::LeftButton);
    QCOMPARE(text(w, "infolabel"), QStringLiteral("Download Aborted"));
    QCOMPARE(text(w, "infolabel3"), QStringLiteral("Download Aborted"));
    QCOMPARE(w.downloadState(), int(Tdownload::StateAborted));
    QVERIFY(!w.downloading());
    QVERIFY(button(w, "getbutton")->isEnabled());
    QVERIFY(!button(w, "abortbutton")->isEnabled());
    QCOMPARE(exits.count(), 0);
    QCOMPARE(QFileInfo(home.installer()).size(), 150); // the part stays
    QTRY_VERIFY(!server.stalling());
    QVERIFY(!QFile::exists(home.trace()));

    // A second go starts afresh into the truncated file.
    server.mode = HttpServer::Serve;
    server.body = home.script();
    server.digest = published(server.body);
    w.getbuttonClick();
    QCOMPARE(w.downloadState(), int(Tdownload::StateStarted));
    QTRY_COMPARE(exits.count(), 1);
    QCOMPARE(readAll(home.installer()), server.body);
    QTRY_COMPARE(readAll(home.trace()), QByteArray("/SP-\n/silent\n/noicons\n"));
}

void DownloaderTests::serverErrorsAbortTheDownload_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("404") << 0;
    QTest::newRow("connection refused") << 1;
    QTest::newRow("address of no known kind") << 2;
}

void DownloaderTests::serverErrorsAbortTheDownload()
{
    QFETCH(int, kind);
    Home home;
    Tdownload w;
    QSignalSpy exits(&w, &Tdownload::exitRequested);
    auto server = std::make_unique<HttpServer>();
    server->mode = HttpServer::NotFound;
    w.setURL(server->url());
    if (kind == 1)
        server.reset(); // nobody listens on that port any more
    if (kind == 2)
        w.setURL(QStringLiteral("nosuchscheme://127.0.0.1/qslsetup.exe"));

    w.getbuttonClick();
    QTRY_VERIFY(!w.downloading());
    QCOMPARE(text(w, "infolabel"), QStringLiteral("Download Aborted"));
    QVERIFY(text(w, "infolabel3") != QStringLiteral("Installing"));
    QCOMPARE(w.downloadState(), int(Tdownload::StateAborted));
    QVERIFY(button(w, "getbutton")->isEnabled());
    QVERIFY(!button(w, "abortbutton")->isEnabled());
    QCOMPARE(exits.count(), 0);
    QCOMPARE(message(w), QString());
    if (kind == 0)
        QCOMPARE(server->requests.size(), 1);
}

void DownloaderTests::stopWithNothingRunning()
{
    Tdownload w;
    QVERIFY(button(w, "abortbutton")->isEnabled());
    QVERIFY(text(w, "infolabel").isEmpty());
    QVERIFY(text(w, "infolabel3").isEmpty());
    QTest::mouseClick(button(w, "abortbutton"), Qt::LeftButton);
    QCOMPARE(text(w, "infolabel"), QStringLiteral("Download has been aborted."));
    QCOMPARE(text(w, "infolabel3"), QStringLiteral("Download Aborted"));
    QCOMPARE(w.downloadState(), int(Tdownload::StateAborted));
}

void DownloaderTests::installerThatCannotStart()
{
    Home home;
    HttpServer server;
    server.body = "this is no program\n"; // neither a binary nor a script
    server.digest = published(server.body);
    Tdownload w;
    w.setURL(server.url());
    QSignalSpy exits(&w, &Tdownload::exitRequested);
    w.getbuttonClick();
    QTRY_COMPARE(message(w), QStringLiteral("An Error has Occurred."));
    QCOMPARE(text(w, "infolabel3"), QStringLiteral("Installing"));
    QCOMPARE(exits.count(), 0);
    QVERIFY(button(w, "getbutton")->isEnabled());
}

void DownloaderTests::filesThatCannotBeWritten()
{
    QStringList errors;
    vexlo::setErrorReporter([&](const QString &e) { errors << e; });
    HttpServer server;
    server.body = QByteArray(2000, 'x');

    // The data folder cannot be made: nothing is requested.
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("VEXLO_HOME", dir.filePath(QStringLiteral("file/home")).toLocal8Bit());
        Tdownload w;
        w.setURL(server.url());
        w.getbuttonClick();
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().startsWith(QStringLiteral("Unable to create ")), qPrintable(errors.first()));
        QVERIFY(!w.downloading());
        QVERIFY(button(w, "getbutton")->isEnabled());
        QCOMPARE(server.requests.size(), 0);
    }

    // The disk is full: the download stops and the part is never run.
    {
        Home home;
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), home.installer()));
        errors.clear();
        Tdownload w;
        QSignalSpy exits(&w, &Tdownload::exitRequested);
        w.setURL(server.url());
        w.getbuttonClick();
        QTRY_VERIFY(!w.downloading());
        QCOMPARE(text(w, "infolabel"), QStringLiteral("Download Aborted"));
        QCOMPARE(w.downloadState(), int(Tdownload::StateAborted));
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().startsWith(QStringLiteral("Unable to write to ")), qPrintable(errors.first()));
        QCOMPARE(exits.count(), 0);
        QCOMPARE(message(w), QString());
    }
    qunsetenv("VEXLO_HOME");
    vexlo::setErrorReporter({});
}

void DownloaderTests::playSoloGame()
{
    Tdownload w;
    QSignalSpy solo(&w, &Tdownload::playSoloRequested);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::mouseClick(button(w, "Button1"), Qt::LeftButton);
    QVERIFY(!w.isVisible());
    QCOMPARE(solo.count(), 1);
}

void DownloaderTests::playWithOthers()
{
    const QByteArray oldPath = qgetenv("PATH");
    QTemporaryDir bin;
    qputenv("PATH", bin.path().toLocal8Bit());
    Tdownload w;
    QSignalSpy exits(&w, &Tdownload::exitRequested);

    // No lobby on the PATH: the player is told where to find it.
    QVERIFY(Tdownload::lobbyProgram().isEmpty());
    QTest::mouseClick(button(w, "Button2"), Qt::LeftButton);
    QCOMPARE(message(w), QStringLiteral("Please close the game and open the Quorbit Lobby using the icon on your "
                                        "desktop or using the your Window's start-up menu."));
    QCOMPARE(exits.count(), 0);

    // An installed lobby is started and the game ends.
    const QString trace = bin.filePath(QStringLiteral("started"));
    QFile lobby(bin.filePath(QStringLiteral("quorbitlobby")));
    QVERIFY(lobby.open(QIODevice::WriteOnly));
    lobby.write("#!/bin/sh\necho lobby > '" + trace.toLocal8Bit() + "'\n");
    lobby.close();
    lobby.setPermissions(lobby.permissions() | QFile::ExeOwner | QFile::ExeUser);
    QCOMPARE(Tdownload::lobbyProgram(), lobby.fileName());
    w.Button2Click();
    QCOMPARE(exits.count(), 1);
    QTRY_COMPARE(readAll(trace), QByteArray("lobby\n"));
    qputenv("PATH", oldPath);
}

int runDownloaderTests(int argc, char **argv)
{
    DownloaderTests t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_downloader.moc"
