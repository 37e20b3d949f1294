// The Join dialog's "On this network" list: it follows the browser model as
// games come and go, says why it is empty, and choosing a game fills in its
// address; Enter joins it.
#include "gamebrowser.h"
#include "tjoingame.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

using vexlo::discovery::GameBrowser;

class JoinListTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void listFollowsTheNetworkAndEnterJoins();
};

void JoinListTests::listFollowsTheNetworkAndEnterJoins()
{
    Tjoingame dialog;
    auto *games = new GameBrowser(&dialog, false);
    dialog.setNetworkGames(games);
    dialog.setChoices(QStringLiteral("Ann"), {QStringLiteral("old.example.org")}, 7772);
    dialog.show();
    QCOMPARE(dialog.networkGames(), games);
    QVERIFY(dialog.label_games->isVisible());
    QCOMPARE(dialog.label_games->text(),
             QStringLiteral("Games on this network cannot be listed: the Avahi service is not running."));

    games->setAvailable(true);
    QCOMPARE(dialog.label_games->text(), QStringLiteral("No games found yet; they show here as they start."));
    games->instanceResolved({2, 0, "Vexlo on box", "local"}, QStringLiteral("192.0.2.7"), 7773,
                            {"host=Red", "players=2/6", "watchers=0/3", "state=playing", "round=1/5"});
    QVERIFY(!dialog.label_games->isVisible());
    QCOMPARE(dialog.list_games->model()->rowCount(), 1);
    QCOMPARE(dialog.combo_address->currentText(), QStringLiteral("old.example.org")); // nothing chosen yet

    dialog.list_games->setFocus();
    dialog.list_games->setCurrentIndex(games->index(0, 0));
    QCOMPARE(dialog.combo_address->currentText(), QStringLiteral("192.0.2.7:7773"));
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QTest::keyClick(dialog.list_games, Qt::Key_Return);
    QCOMPARE(accepted.size(), 1);
    QCOMPARE(dialog.address().host, QStringLiteral("192.0.2.7"));
    QCOMPARE(dialog.address().port, 7773);

    // The chosen game goes: the list's current row moves on, the address stays.
    games->instanceResolved({2, 0, "Other", "local"}, QStringLiteral("192.0.2.8"), 7772, {});
    games->instanceRemoved({2, 0, "Vexlo on box", "local"});
    QCOMPARE(dialog.list_games->model()->rowCount(), 1);
    QCOMPARE(dialog.combo_address->currentText(), QStringLiteral("192.0.2.7:7773"));
    games->instanceRemoved({2, 0, "Other", "local"});
    QCOMPARE(dialog.list_games->model()->rowCount(), 0);
    QVERIFY(!dialog.label_games->isHidden());
}

int runJoinListTests(int argc, char **argv)
{
    JoinListTests t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_joinlist.moc"
