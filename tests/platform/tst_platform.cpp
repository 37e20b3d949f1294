// The data folder, the game port, the instance lock and the addresses chat links open.
#include "platform.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace vexlo;

class PlatformTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void linkAddresses();
    void dataFolderPortAndLock();
};

void PlatformTests::linkAddresses()
{
    QCOMPARE(platform::linkUrl(QStringLiteral("www.Example.com")), QUrl(QStringLiteral("http://www.Example.com")));
    QCOMPARE(platform::linkUrl(QStringLiteral("mailto:bob@example.org")).scheme(), QStringLiteral("mailto"));
    QCOMPARE(platform::linkUrl(QStringLiteral("http://x.org/a")).host(), QStringLiteral("x.org"));
    QVERIFY(platform::linkUrl(QStringLiteral("file:///etc/passwd")).isEmpty());
    QVERIFY(platform::linkUrl(QStringLiteral("/etc/passwd")).isEmpty());
}

void PlatformTests::dataFolderPortAndLock()
{
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home/vexlo"));
    qputenv("VEXLO_HOME", home.toLocal8Bit());
    QCOMPARE(platform::dataFolder(), home);
    QVERIFY(QFileInfo(home).isDir());
    for (const char *bad : {"", "x", "70000", "-1"}) {
        qputenv("VEXLO_PORT", bad);
        QCOMPARE(platform::gamePort(), QStringLiteral("7772"));
    }
    qputenv("VEXLO_PORT", "17001");
    QCOMPARE(platform::gamePort(), QStringLiteral("17001"));
    qunsetenv("VEXLO_PORT");
    // The lock is shared: a second holder is not refused.
    qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    QVERIFY(platform::holdInstanceLock());
    QVERIFY(platform::holdInstanceLock());
    QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("vexlo.lock"))));
}

QTEST_GUILESS_MAIN(PlatformTests)
#include "tst_platform.moc"
