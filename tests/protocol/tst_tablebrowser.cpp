// The list of a server's tables as a model: fed lobby messages (the list, pushed
// changes, a table closed, hostile lines), and against servers that list their
// tables, that do not, and that are not there. Loopback only.
#include "catalogue.h"
#include "lobby.h"
#include "tablebrowser.h"
#include "testclient.h"
#include "tserver.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

using namespace vexlo;

namespace {

QString cell(const TableBrowser &b, int row, int column, int role = Qt::DisplayRole)
{
    return b.index(row, column).data(role).toString();
}

} // namespace

class TableBrowserTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rowsFollowTheListAndItsChanges();
    void hostileLinesAreBoundedAndClipped();
    void serversThatDoNotList();
    void aServerOfOneTableShowsIt();
};

void TableBrowserTests::rowsFollowTheListAndItsChanges()
{
    TableBrowser b;
    b.receive({"CMD_tablelist+2+100", "CMD_table+1+1+2+3+2+1+1", "CMD_tableplayer+1+1+0+Ann",
               "CMD_tableplayer+1+2+1+Bo (bot)", "CMD_tableplayer+1+7+0+Wes", "CMD_table+4+0+0+0+0+0+0"});
    QCOMPARE(b.rowCount(), 2);
    QCOMPARE(b.tableAt(1), 4);
    QCOMPARE(cell(b, 0, TableBrowser::HostColumn), QStringLiteral("Ann"));
    QCOMPARE(cell(b, 0, TableBrowser::PlayersColumn), QStringLiteral("2/6: Ann, Bo (bot)"));
    QCOMPARE(cell(b, 0, TableBrowser::WatchersColumn), QStringLiteral("1/3: Wes"));
    QCOMPARE(cell(b, 0, TableBrowser::StateColumn), QStringLiteral("Round 2 of 3"));
    QCOMPARE(cell(b, 1, TableBrowser::PlayersColumn), QStringLiteral("0/6"));
    QCOMPARE(cell(b, 0, TableBrowser::TableColumn, Qt::AccessibleTextRole),
             QStringLiteral("Table 1, host Ann, 2 of 6 players: Ann, Bo (bot); 1 of 3 watchers: Wes; Round 2 of 3."));
    QCOMPARE(cell(b, 1, TableBrowser::TableColumn, Qt::AccessibleTextRole),
             QStringLiteral("Table 4, 0 of 6 players; 0 of 3 watchers; Waiting."));

    // Pushed: a new table between, one changed, one gone. A chosen row stays on its table.
    const QPersistentModelIndex chosen = b.index(1, 0);
    QSignalSpy inserted(&b, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&b, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&b, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&b, &QAbstractItemModel::modelReset);
    b.receive({"CMD_table+2+0+0+0+1+0+0", "CMD_tableplayer+2+1+0+Cy", "CMD_table+4+2+0+0+1+0+0",
               "CMD_tableplayer+4+1+0+Di"});
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(chosen.row(), 2);
    QCOMPARE(cell(b, 2, TableBrowser::StateColumn), QStringLiteral("Game over"));
    b.receive({"CMD_tableclosed+1"});
    QCOMPARE(removed.size(), 1);
    QCOMPARE(chosen.row(), 1);
    QCOMPARE(b.rowOf(4), 1);
    QCOMPARE(b.rowOf(1), -1);
    // The whole list again, as asked anew: only what differs moves.
    b.receive({"CMD_tablelist+2+100", "CMD_table+2+0+0+0+1+0+0", "CMD_tableplayer+2+1+0+Cy",
               "CMD_table+4+2+0+0+1+0+0", "CMD_tableplayer+4+1+0+Di"});
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(removed.size(), 1);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(reset.size(), 0);
}

void TableBrowserTests::hostileLinesAreBoundedAndClipped()
{
    TableBrowser b;
    b.receive({"CMD_tablelist+1+1", "CMD_table+1+0+0+0+2+0+1",
               "CMD_tableplayer+1+1+0+" + QByteArray(300, 'N') + "\x01",
               "CMD_tableplayer+1+2+1+Sly", // a computer player that does not say so
               "CMD_table+x+0+0+0+0+0+0", "CMD_table+2+7+0+0+0+0+0", "CMD_table+3+0+0+0+9+0+0",
               "CMD_tableplayer+9+1+0+Ghost", "CMD_tableplayer+1+12+0+Far", "CMD_tableclosed+-1", "CMD_table+"});
    QCOMPARE(b.rowCount(), 1);
    const QString host = cell(b, 0, TableBrowser::HostColumn);
    QCOMPARE(host.size(), TableBrowser::MostNameChars);
    QVERIFY(host.endsWith(QChar(0x2026)));
    QCOMPARE(cell(b, 0, TableBrowser::PlayersColumn).right(9), QStringLiteral("Sly (bot)"));

    // A server that lists more tables than any server holds is followed no further.
    QList<QByteArray> many;
    for (int n = 1; n <= TableBrowser::MostTables + 500; ++n)
        many << "CMD_table+" + QByteArray::number(n) + "+0+0+0+0+0+0";
    b.receive(many);
    QCOMPARE(b.rowCount(), TableBrowser::MostTables);
    b.receive({"CMD_tableclosed+5", "CMD_table+20000+0+0+0+0+0+0"});
    QCOMPARE(b.rowOf(20000), TableBrowser::MostTables - 1);
}

void TableBrowserTests::serversThatDoNotList()
{
    // One that takes the connection and says nothing: said in one line, let go.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    TableBrowser b;
    b.setAnswerTime(200);
    const QString address = QStringLiteral("127.0.0.1:%1").arg(silent.serverPort());
    b.open(address, 7772);
    QCOMPARE(b.status(), TableBrowser::Status::Connecting);
    QTRY_VERIFY(silent.hasPendingConnections());
    QTcpSocket *peer = silent.nextPendingConnection();
    QTRY_COMPARE(b.status(), TableBrowser::Status::NotListing);
    QCOMPARE(b.statusText(), QStringLiteral("This server does not list its tables; you can still join it directly."));
    QCOMPARE(peer->readAll(), frame(msg::tables()));
    QTRY_COMPARE(peer->state(), QAbstractSocket::UnconnectedState);

    // One that is not there, and an address that is none.
    const quint16 port = silent.serverPort();
    delete peer;
    silent.close();
    b.open(QStringLiteral("127.0.0.1:%1").arg(port), 7772);
    QTRY_COMPARE(b.status(), TableBrowser::Status::Failed);
    QCOMPARE(b.statusText(), QStringLiteral("Could not connect to 127.0.0.1:%1: the host refused the connection.").arg(port));
    b.open(QStringLiteral("1.2.3:99999"), 7772);
    QCOMPARE(b.status(), TableBrowser::Status::Failed);
    QVERIFY(!b.statusText().isEmpty());
}

void TableBrowserTests::aServerOfOneTableShowsIt()
{
    TServer server;
    server.startListening(QStringLiteral("0"));
    TestClient ann(server.listeningPort());
    ann.login("Ann");
    TableBrowser b;
    QSignalSpy status(&b, &TableBrowser::statusChanged);
    b.open(QStringLiteral("localhost"), server.listeningPort());
    QTRY_COMPARE(b.status(), TableBrowser::Status::Listed);
    QCOMPARE(b.statusText(), QStringLiteral("The table of localhost."));
    QCOMPARE(b.rowCount(), 1);
    QTRY_COMPARE(cell(b, 0, TableBrowser::HostColumn), QStringLiteral("Ann"));
    // Pushed while it is open.
    TestClient cy(server.listeningPort());
    cy.login("Cy");
    QTRY_COMPARE(cell(b, 0, TableBrowser::PlayersColumn), QStringLiteral("2/6: Ann, Cy"));
    // The server goes: said, and the rows stay as they were.
    server.shutdown();
    QTRY_COMPARE(b.status(), TableBrowser::Status::Failed);
    QCOMPARE(b.rowCount(), 1);
    QVERIFY(b.statusText().contains(QStringLiteral("closed the connection")));
}

QTEST_GUILESS_MAIN(TableBrowserTests)
#include "tst_tablebrowser.moc"
