// The main window's links to the other windows: help, about and the logo, the
// downloader on a solo start, the tally window and its check list.
#include "wiring.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

using namespace vexlo;

class WindowsLinksTests : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;

private Q_SLOTS:
    void initTestCase() { env = std::make_unique<TestEnvironment>(); }
    void init()
    {
        env->errors.clear();
        QFile::remove(tallyPath());
    }

    void oneDataFolder();
    void helpAboutAndLogo();
    void downloaderOnSoloStartOnly();
    void downloaderEndsTheGame();
    void tallyCheckListAndGameEnd();
    void tallyQuestionsGoThroughTheWindow();
};

void WindowsLinksTests::oneDataFolder()
{
    QCOMPARE(platform::dataFolder(), env->home.path());
    QCOMPARE(Tdownload::dataFolder(), platform::dataFolder());
}

void WindowsLinksTests::helpAboutAndLogo()
{
    Player p;
    Tchat &c = p.chat();
    action(c, "Help2")->trigger();
    QVERIFY(p.help.isVisible());
    QCOMPARE(action(c, "Help2")->shortcut(), QKeySequence(Qt::Key_F1));
    action(c, "About1")->trigger();
    QVERIFY(p.about.isVisible());
    // The help window's "About" shows the same about window.
    p.about.hide();
    auto *aboutButton = p.help.findChild<QPushButton *>(QStringLiteral("button_about"));
    QVERIFY(aboutButton);
    aboutButton->click();
    QVERIFY(p.about.isVisible());
    // The logo opens the about window's link.
    QVERIFY(boardLabel(c, "image_logo") && !boardLabel(c, "image_logo")->pixmap().isNull());
    QTest::mouseClick(boardLabel(c, "image_logo"), Qt::LeftButton);
    QCOMPARE(p.w.opened, QList<QUrl>{QUrl(Tabout::siteLink().address())});
}

void WindowsLinksTests::downloaderOnSoloStartOnly()
{
    {
        FakeHost host;
        Player p;
        p.chat().session().setPort(host.port());
        p.chat().start();
        QVERIFY(p.download.isVisible());
        QCOMPARE(p.w.lastLine(), QStringLiteral("Loading Solo Game..Please wait."));
        QCOMPARE(p.chat().session().playerName(), QStringLiteral("You"));
        // "Play Solo Game" only closes it.
        p.download.Button1Click();
        QVERIFY(!p.download.isVisible());
        QVERIFY(!p.w.closed);
    }
    FakeHost host;
    Player p(strings({"Red", "127.0.0.1", "false"}));
    p.chat().session().setPort(host.port());
    p.chat().start();
    QVERIFY(!p.download.isVisible());
}

void WindowsLinksTests::downloaderEndsTheGame()
{
    Player p;
    Q_EMIT p.download.exitRequested(); // the installer or the lobby was started
    QVERIFY(p.w.closed);
}

void WindowsLinksTests::tallyCheckListAndGameEnd()
{
    Player p;
    Tchat &c = p.chat();
    p.login(2, "Red");
    const char *seats[] = {"Blue", "Red", nullptr, "gold", "Rust", nullptr}; // 3 and 6 free
    for (int slot = 1; slot <= 6; ++slot)
        if (seats[slot - 1])
            c.seats().model().arrive(slot, QLatin1String(seats[slot - 1]));
    p.tally.fillChecklist({QStringLiteral("Gold")});
    p.tally.checklistClickCheck(0); // "Gold" tallied
    action(c, "ViewTally1")->trigger();
    QVERIFY(p.tally.isVisible());
    QStringList names;
    QStringList checked;
    for (int i = 0; i < p.tally.checklist->count(); ++i) {
        names << p.tally.checklist->item(i)->text();
        if (p.tally.checklist->item(i)->checkState() == Qt::Checked)
            checked << names.last();
    }
    // Seat order, without the own seat and free seats; known names checked whatever their case.
    QCOMPARE(names, strings({"Blue", "gold", "Rust"}));
    QCOMPARE(checked, strings({"gold"}));

    // The round flow reports the game end through the hook.
    Q_EMIT c.gameRecorded(QStringLiteral("Rust"));
    QCOMPARE(p.tally.stringgrid_scores.cell(1, 0), QStringLiteral("1"));
    QCOMPARE(p.tally.stringgrid_scores.cell(4, 1), QStringLiteral("1")); // Gold: neither won
    QCOMPARE(p.tally.stringgrid_scores.rowCount(), 2);                    // Blue and Rust untallied
    QVERIFY(QFile::exists(tallyPath()));                                  // kept after the game
}

void WindowsLinksTests::tallyQuestionsGoThroughTheWindow()
{
    Player p;
    p.answer = false;
    p.tally.button_resetClick();
    QCOMPARE(p.questions, strings({"Are you sure you want to reset the Tally?"}));
}

int runWindowsLinksTests(int argc, char **argv)
{
    WindowsLinksTests t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_windowslinks.moc"
