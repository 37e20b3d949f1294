// The player name and recent host addresses the network dialogs keep in the
// settings file, beside the game's own keys.
#include "networkchoices.h"
#include "settingsmodel.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace vexlo;

class NetworkChoicesTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void tenMostRecentFirst();
    void survivesARestartBesideTheGameKeys();
    void announcingIsOnUnlessExactlyFalse();
};

void NetworkChoicesTests::announcingIsOnUnlessExactlyFalse()
{
    QTemporaryDir dir;
    const QString path = settingsFilePath(dir.path());
    writeFile(path, "[Vexlo]\nTextsize=8\n");
    IniFile ini(path);
    QVERIFY(loadAnnounce(ini));
    saveAnnounce(ini, false);
    QCOMPARE(slurp(path), QByteArray("[Vexlo]\nTextsize=8\nAnnouncegames=false\n"));
    QVERIFY(!loadAnnounce(ini));
    writeFile(path, "[Vexlo]\nannouncegames=False\n");
    QVERIFY(loadAnnounce(ini));
}

void NetworkChoicesTests::tenMostRecentFirst()
{
    NetworkChoices c;
    for (int i = 1; i <= 12; ++i)
        c.remember(QStringLiteral("host%1").arg(i));
    QCOMPARE(c.recentHosts.size(), 10);
    QCOMPARE(c.recentHosts.first(), QStringLiteral("host12"));
    QCOMPARE(c.recentHosts.last(), QStringLiteral("host3"));
    // An address used again moves to the front, once, whatever its letter case.
    c.remember(QStringLiteral("  HOST5 "));
    QCOMPARE(c.recentHosts.size(), 10);
    QCOMPARE(c.recentHosts.first(), QStringLiteral("HOST5"));
    QCOMPARE(c.recentHosts.filter(QStringLiteral("host5"), Qt::CaseInsensitive).size(), 1);
    QCOMPARE(c.recentHosts.last(), QStringLiteral("host3"));
    c.remember(QStringLiteral("   "));
    QCOMPARE(c.recentHosts.first(), QStringLiteral("HOST5"));
}

void NetworkChoicesTests::survivesARestartBesideTheGameKeys()
{
    QTemporaryDir dir;
    const QString path = settingsFilePath(dir.path());
    GameSettings game;
    game.textColor = game.actionColor = QStringLiteral("clBlack");
    IniFile ini(path);
    game.save(ini);
    const QByteArray gameKeys = slurp(path);

    // Hosting keeps only the name.
    NetworkChoices hosting;
    hosting.playerName = QStringLiteral("Ann");
    hosting.save(ini, false);
    QCOMPARE(slurp(path), gameKeys + "Playername=Ann\n");

    NetworkChoices joining;
    joining.load(ini);
    QCOMPARE(joining.playerName, QStringLiteral("Ann"));
    QVERIFY(joining.recentHosts.isEmpty());
    for (const char *a : {"localhost", "[::1]:7772", "192.168.1.20"})
        joining.remember(QLatin1String(a));
    joining.save(ini, true);

    // A new run reads them back in order; the game's fifteen keys are as they were
    // and a save of the game's settings leaves the new keys alone.
    NetworkChoices next;
    next.load(IniFile(path));
    QCOMPARE(next.playerName, QStringLiteral("Ann"));
    QCOMPARE(next.recentHosts, (QStringList{QStringLiteral("192.168.1.20"), QStringLiteral("[::1]:7772"), QStringLiteral("localhost")}));
    QVERIFY(slurp(path).startsWith(gameKeys));
    game.textSize = 12;
    game.save(ini);
    next.load(IniFile(path));
    QCOMPARE(next.recentHosts.size(), 3);
    GameSettings back;
    back.load(IniFile(path));
    QCOMPARE(back.textSize, 12);
}

int runNetworkChoicesTests(int argc, char **argv)
{
    NetworkChoicesTests t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_networkchoices.moc"
