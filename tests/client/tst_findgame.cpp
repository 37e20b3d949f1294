// Find a Game against a real server of many tables (vexlo-server --tables 3 on
// loopback): listing, the list following the server, joining one table by
// Enter, a new table and watching another, each with its slot and title.
#include "fixtures.h"
#include "lobby.h"
#include "serverprogram.h"
#include "tablebrowser.h"
#include "testclient.h"
#include "tfindgame.h"

#include <QComboBox>
#include <QProcess>
#include <QTcpServer>
#include <QTreeView>

using namespace vexlo;

namespace {

// Opens File -> Find a Game in the window and lists the server's tables.
Tfindgame *findGame(Window &w, const QString &name, quint16 port)
{
    action(w.chat, "FindAGame1")->trigger();
    auto *find = w.chat.findChild<Tfindgame *>();
    if (!find || !QTest::qWaitFor([&] { return find->isVisible(); }))
        return nullptr;
    find->edit_name->setText(name);
    find->combo_address->setEditText(QStringLiteral("127.0.0.1:%1").arg(port));
    QTest::keyClick(find->combo_address->lineEdit(), Qt::Key_Return);
    if (!QTest::qWaitFor([&] { return find->tables()->status() == TableBrowser::Status::Listed; }))
        return nullptr;
    return find;
}

QString title(int table, quint16 port)
{
    return QStringLiteral("Vexlo %1 table %2 at 127.0.0.1:%3").arg(QChar(0x2014)).arg(table).arg(port);
}

} // namespace

class FindGameTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { env = std::make_unique<TestEnvironment>(); }
    void joinOneTableAndWatchAnother();
    void aServerThatDoesNotListIsJoinedDirectly();

private:
    std::unique_ptr<TestEnvironment> env;
};

void FindGameTests::joinOneTableAndWatchAnother()
{
    ServerProgram server({QStringLiteral("--no-announce"), QStringLiteral("--tables"), QStringLiteral("3"), QStringLiteral("--quiet")});
    QVERIFY(server.port != 0);

    // An empty server: New Table opens table 1, its host in slot 1.
    Window ann;
    Tfindgame *find = findGame(ann, QStringLiteral("Ann"), server.port);
    QVERIFY(find);
    QCOMPARE(find->tables()->rowCount(), 0);
    QVERIFY(find->label_tables->text().contains(QStringLiteral("no table open")));
    QVERIFY(!find->label_games->text().isEmpty()); // no Avahi daemon here: said in one line
    QTest::mouseClick(find->button_newtable, Qt::LeftButton);
    QTRY_VERIFY(ann.chat.session().loggedIn());
    QCOMPARE(ann.chat.session().slot(), 1);
    const int annTable = ann.chat.session().table();
    QCOMPARE(ann.chat.windowTitle(), title(annTable, server.port));

    // Another window lists it, follows a table that opens meanwhile, and joins
    // Ann's by Enter on its row.
    Window bob;
    find = findGame(bob, QStringLiteral("Bob"), server.port);
    QVERIFY(find);
    QTRY_COMPARE(find->tables()->rowCount(), 1);
    QTRY_COMPARE(find->list_tables->model()->index(0, TableBrowser::HostColumn).data().toString(), QStringLiteral("Ann"));
    TestClient dee(server.port);
    QVERIFY(dee.waitForSlot() > 0);
    dee.send(msg::newtable());
    const QByteArray seated = dee.waitForPrefix("CMD_seated+");
    QVERIFY(!seated.isEmpty());
    const int deeTable = seated.split('+').value(1).toInt();
    dee.send(msg::logininfo(1, kGameVersion, "Dee"));
    QTRY_COMPARE(find->tables()->rowCount(), 2);
    QTRY_VERIFY(find->tables()->rowOf(deeTable) >= 0
                && find->tables()->info(find->tables()->rowOf(deeTable))->hostName() == "Dee");
    find->list_tables->setFocus();
    find->list_tables->setCurrentIndex(find->tables()->index(find->tables()->rowOf(annTable), 0));
    QTest::keyClick(find->list_tables, Qt::Key_Return);
    QTRY_VERIFY(bob.chat.session().loggedIn());
    QCOMPARE(bob.chat.session().slot(), 2);
    QCOMPARE(bob.chat.windowTitle(), title(annTable, server.port));
    QVERIFY(!find->isVisible());

    // A third watches Dee's table.
    Window cy;
    find = findGame(cy, QStringLiteral("Cy"), server.port);
    QVERIFY(find);
    QTRY_COMPARE(find->tables()->rowCount(), 2);
    find->list_tables->setCurrentIndex(find->tables()->index(find->tables()->rowOf(deeTable), 0));
    QTest::mouseClick(find->button_watch, Qt::LeftButton);
    QTRY_VERIFY(cy.chat.session().loggedIn());
    QCOMPARE(cy.chat.session().slot(), 7);
    QCOMPARE(cy.chat.windowTitle(), title(deeTable, server.port));
    QVERIFY(dee.waitFor("CMD_newplayerinfo+7+Cy"));
    QTRY_VERIFY(ann.lines().filter(QStringLiteral("Bob")).size() > 0);
    QVERIFY(ann.lines().filter(QStringLiteral("Cy")).isEmpty());
    QVERIFY(env->errors.isEmpty());
}

void FindGameTests::aServerThatDoesNotListIsJoinedDirectly()
{
    QTcpServer older;
    QVERIFY(older.listen(QHostAddress::LocalHost));
    Window w;
    action(w.chat, "FindAGame1")->trigger();
    auto *find = w.chat.findChild<Tfindgame *>();
    QVERIFY(find);
    QTRY_VERIFY(find->isVisible());
    find->tables()->setAnswerTime(100);
    find->edit_name->setText(QStringLiteral("Old"));
    const QString address = QStringLiteral("127.0.0.1:%1").arg(older.serverPort());
    find->combo_address->setEditText(address);
    QTest::mouseClick(find->button_list, Qt::LeftButton);
    QTRY_COMPARE(find->label_tables->text(),
                 QStringLiteral("This server does not list its tables; you can still join it directly."));
    QVERIFY(!find->button_watch->isEnabled() && !find->button_newtable->isEnabled());
    QTest::mouseClick(find->button_join, Qt::LeftButton);
    QTRY_COMPARE(w.chat.windowTitle(), QStringLiteral("Vexlo %1 joined %2").arg(QChar(0x2014)).arg(address));
    QVERIFY(env->errors.isEmpty());
}

QTEST_MAIN(FindGameTests)
#include "tst_findgame.moc"
