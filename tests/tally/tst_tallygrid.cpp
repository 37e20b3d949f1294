// The tally grid and its dump, without any window.
#include "tallygrid.h"

#include <QTest>

class TallyGridTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startsWithOwnTotalsOnly();
    void additAndRows();
    void namesAreLookedUpWithoutCase();
    void dumpRoundTrip();
    void damagedDumpsAreRefused();
};

void TallyGridTests::startsWithOwnTotalsOnly()
{
    TallyGrid g;
    QCOMPARE(g.rowCount(), 1);
    for (int c = 0; c < TallyGrid::Columns; ++c)
        QCOMPARE(g.cell(c, 0), QStringLiteral("0"));
    QCOMPARE(g.SaveGrid(), QByteArray("9\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"));
}

void TallyGridTests::additAndRows()
{
    TallyGrid g;
    QCOMPARE(g.addit(1, 0), 1);
    QCOMPARE(g.addit(1, 0), 2);
    g.appendRow(QStringLiteral("Blue"));
    g.appendRow(QStringLiteral("Gold"));
    g.appendRow(QStringLiteral("Rust"));
    g.setCell(4, 2, QString());
    QCOMPARE(g.addit(4, 2), 1); // an empty cell counts as 0
    g.setCell(3, 3, QStringLiteral("7"));
    // Removing a middle row moves the later ones up, every column.
    g.moverow(2);
    QCOMPARE(g.rowCount(), 3);
    QCOMPARE(g.cell(0, 2), QStringLiteral("Rust"));
    QCOMPARE(g.cell(3, 2), QStringLiteral("7"));
    // Row 0 and rows out of range are never removed.
    g.moverow(0);
    g.moverow(3);
    QCOMPARE(g.rowCount(), 3);
    g.moverow(1);
    g.moverow(1);
    QCOMPARE(g.rowCount(), 1);
    QCOMPARE(g.cell(1, 0), QStringLiteral("2"));
    g.reset();
    QCOMPARE(g.cell(1, 0), QStringLiteral("0"));
}

void TallyGridTests::namesAreLookedUpWithoutCase()
{
    TallyGrid g;
    g.appendRow(QStringLiteral("Blue"));
    g.appendRow(QStringLiteral("addtomine"));
    QCOMPARE(g.findName(QStringLiteral("blue")), 1);
    QCOMPARE(g.findName(QStringLiteral("BLUE")), 1);
    QCOMPARE(g.findName(QStringLiteral("Blu")), -1);
    QCOMPARE(g.findName(QStringLiteral("0")), -1); // row 0 is not an opponent
    QCOMPARE(g.findName(QStringLiteral("AddToMine")), 2);
}

void TallyGridTests::dumpRoundTrip()
{
    TallyGrid g;
    g.addit(1, 0);
    g.appendRow(QStringLiteral("Zo\xeb"));
    g.appendRow(QStringLiteral("Two\r\nLines"));
    g.addit(2, 1);
    g.addit(6, 1);
    const QByteArray dump = g.SaveGrid();
    QVERIFY(dump.startsWith("9\r\n3\r\n0\r\nZo\xeb\r\nTwo  Lines\r\n1\r\n0\r\n0\r\n"));
    QCOMPARE(dump.count("\r\n"), 2 + 9 * 3);
    const TallyGrid back = TallyGrid::LoadGrid(dump);
    QCOMPARE(back.rowCount(), 3);
    QCOMPARE(back.SaveGrid(), dump);
    QCOMPARE(back.cell(0, 1), QStringLiteral("Zo\xeb"));
    // Session columns are zeroed on demand, the rest kept.
    TallyGrid session = back;
    session.clearSession();
    QCOMPARE(session.cell(6, 1), QStringLiteral("0"));
    QCOMPARE(session.cell(2, 1), QStringLiteral("1"));
    // Bare LF line ends and empty cells are read too.
    const TallyGrid lf = TallyGrid::LoadGrid(QByteArray("9\n1\n0\n\n2\n0\n0\n0\n0\n0\n0\n"));
    QCOMPARE(lf.cell(1, 0), QString());
    QCOMPARE(lf.cell(2, 0), QStringLiteral("2"));
}

void TallyGridTests::damagedDumpsAreRefused()
{
    const QByteArray good = TallyGrid().SaveGrid();
    const QList<QByteArray> bad = {
        QByteArray(),
        "8\r\n1\r\n",
        "9\r\n0\r\n",
        "9\r\n-3\r\n",
        "9\r\n100001\r\n",
        "9\r\n99999\r\n0\r\n", // claims rows it does not hold: nothing is allocated for them
        "nine\r\n1\r\n",
        good.left(good.size() - 3),
        QByteArray(good).replace("0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n", "0\r\nabc\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"),
    };
    for (const QByteArray &b : bad)
        QVERIFY_THROWS_EXCEPTION(ETallyException, TallyGrid::LoadGrid(b));
}

int runTallyGridTests(int argc, char **argv)
{
    TallyGridTests t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_tallygrid.moc"
