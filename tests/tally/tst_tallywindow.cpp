// The tally file (the grid dump in the "WRZL" container, written atomically,
// damaged files set aside) and Ttallylist: game ends, adding and removing
// opponents, the reset, and what a restart shows.
#include "errorreport.h"
#include "lzrw1.h"
#include "tallyfile.h"
#include "ttallylist.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include "testfiles.h"

#include <QTest>

#include <memory>

using namespace vexlo;

namespace {

QByteArray pack(const QByteArray &plain)
{
    Tlzrw1 z;
    z.setCompressMode(TCompressMode::Fast);
    return z.compressData(plain);
}

// A tally window over the test's file with the current game's opponents given,
// its questions answered by the test.
struct Tally
{
    std::unique_ptr<Ttallylist> window;
    QStringList opponents;
    QStringList questions;
    bool answer = true;

    explicit Tally(const QString &path)
    {
        window = std::make_unique<Ttallylist>(path);
        QObject::connect(window.get(), &Ttallylist::loadchecklist, window.get(),
                         [this] { window->fillChecklist(opponents); });
        window->confirm = [this](QWidget *, const QString &q) {
            questions << q;
            return answer;
        };
    }
    Ttallylist *operator->() const { return window.get(); }
    // Tallies each name as a click on its box in the check list would.
    void track(const QStringList &names)
    {
        window->fillChecklist(names);
        for (int i = 0; i < names.size(); ++i)
            window->checklistClickCheck(i);
    }
    QString cell(int column, int row) const { return window->stringgrid_scores.cell(column, row); }
    // Columns 1..8 of a row, joined.
    QString counts(int row) const
    {
        QStringList l;
        for (int c = 1; c <= 8; ++c)
            l << cell(c, row);
        return l.join(QLatin1Char(' '));
    }
    QString label(const char *name) const { return window->findChild<QLabel *>(QLatin1String(name))->text(); }
};

} // namespace

class TallyWindowTests : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_path;
    QStringList m_errors;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_path = tally::tallyFilePath(m_dir.path());
        setErrorReporter([this](const QString &text) { m_errors << text; });
    }
    void init()
    {
        m_errors.clear();
        QFile::remove(m_path);
        QFile::remove(m_path + QStringLiteral(".bad"));
    }

    void fileRoundTrip();
    void failedWriteKeepsTheOldFile();
    void looksAsDescribed();
    void winAgainstTalliedAndUntallied();
    void thirdPlayerWins();
    void opponentNamedAddtomine();
    void namesDifferingInCase();
    void selectedOpponentIsShown();
    void removingOpponents();
    void removingByUncheckingTheBox();
    void resetThenAGame();
    void restartShowsTotalsAndZeroSession();
    void damagedFilesAreSetAside_data();
    void damagedFilesAreSetAside();
};

void TallyWindowTests::fileRoundTrip()
{
    QCOMPARE(tally::tallyFileName(), QStringLiteral("Vexlotally.tld"));
    TallyGrid g;
    g.addit(1, 0);
    g.appendRow(QStringLiteral("Blue"));
    g.addit(3, 1);
    tally::writeTallyFile(m_path, g);
    const QByteArray packed = slurp(m_path);
    QVERIFY(packed.startsWith("WRZL"));
    Tlzrw1 z;
    QCOMPARE(z.decompressData(packed), g.SaveGrid());
    const tally::ReadResult back = tally::readTallyFile(m_path);
    QVERIFY(back.error.isEmpty());
    QCOMPARE(back.grid.SaveGrid(), g.SaveGrid());
    // No work file anywhere.
    QVERIFY(!QFile::exists(QStringLiteral("temp.txt")));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{tally::tallyFileName()});
    // A missing file is the empty tally, without a message.
    const tally::ReadResult none = tally::readTallyFile(m_dir.filePath(QStringLiteral("none.tld")));
    QVERIFY(none.error.isEmpty());
    QCOMPARE(none.grid.rowCount(), 1);
}

void TallyWindowTests::failedWriteKeepsTheOldFile()
{
    // Replacing a folder fails; the folder stays, and the message names the path.
    const QString path = m_dir.filePath(QStringLiteral("folder.tld"));
    QVERIFY(QDir().mkpath(path));
    QVERIFY_THROWS_EXCEPTION(ETallyException, tally::writeTallyFile(path, TallyGrid()));
    try {
        tally::writeTallyFile(path, TallyGrid());
    } catch (const ETallyException &e) {
        QCOMPARE(QString::fromLocal8Bit(e.what()), QStringLiteral("Unable to write to %1").arg(path));
    }
    QVERIFY(QFileInfo(path).isDir());
    // The game end reports the failure and the count stays in memory.
    const QString nowhere = m_dir.filePath(QStringLiteral("missing/Vexlotally.tld"));
    Tally t(nowhere);
    t->addgame(QStringLiteral("addtomine"));
    QCOMPARE(m_errors, QStringList{QStringLiteral("Unable to write to %1").arg(nowhere)});
    QCOMPARE(t.cell(2, 0), QStringLiteral("1"));
    // Reported once, not after every game; again only after a save went through.
    t->addgame(QStringLiteral("Blue"));
    QCOMPARE(m_errors.size(), 1);
    QVERIFY(QDir().mkpath(QFileInfo(nowhere).path()));
    t->addgame(QStringLiteral("Blue"));
    QCOMPARE(tally::readTallyFile(nowhere).grid.cell(1, 0), QStringLiteral("3"));
    QVERIFY(QDir(QFileInfo(nowhere).path()).removeRecursively());
    t->addgame(QStringLiteral("Blue"));
    t->addgame(QStringLiteral("Blue"));
    QCOMPARE(m_errors.size(), 2);
}

void TallyWindowTests::looksAsDescribed()
{
    Tally t(m_path);
    QCOMPARE(t->windowTitle(), QStringLiteral("Vexlo - Tally List"));
    QStringList texts;
    for (const QLabel *l : t->findChildren<QLabel *>())
        texts << l->text();
    for (const char *caption : {"Players Being Tallied", "Players In Current Game", "Your Total Tally", "Total Games:",
                                "Your Wins", "Var3:", "Var4:", "Total", "Session", "Number of Games", "XX Wins:",
                                "Your Wins:", "Neither Won:"})
        QVERIFY2(texts.contains(QLatin1String(caption)), caption);
    QCOMPARE(t->button_reset->text(), QStringLiteral("Reset Tally"));
    QCOMPARE(t->button_done->text(), QStringLiteral("Done"));
    QCOMPARE(t.label("mylabel_1"), QStringLiteral("0"));
    QVERIFY(t->findChild<QLabel *>(QStringLiteral("mylabel_3"))->isHidden());
    QCOMPARE(t->listbox_tally->count(), 0);
    t->show();
    t->button_done->click();
    QVERIFY(!t->isVisible());
}

void TallyWindowTests::winAgainstTalliedAndUntallied()
{
    Tally t(m_path);
    t.track({QStringLiteral("Blue"), QStringLiteral("Gold")});
    t.opponents = QStringList{QStringLiteral("Blue"), QStringLiteral("Rust"), QStringLiteral("Gold")};
    t->addgame(QStringLiteral("addtomine"));
    QCOMPARE(t.cell(1, 0), QStringLiteral("1"));
    QCOMPARE(t.cell(2, 0), QStringLiteral("1"));
    QCOMPARE(t.label("mylabel_1"), QStringLiteral("1"));
    QCOMPARE(t.label("mylabel_2"), QStringLiteral("1"));
    QCOMPARE(t.counts(1), QStringLiteral("1 0 1 0 1 0 1 0"));
    QCOMPARE(t.counts(2), QStringLiteral("1 0 1 0 1 0 1 0"));
    QCOMPARE(t->stringgrid_scores.rowCount(), 3); // Rust gains no row
    // The check list shows the game's opponents, the tallied ones checked.
    QCOMPARE(t->checklist->count(), 3);
    QCOMPARE(t->checklist->item(1)->checkState(), Qt::Unchecked);
    QCOMPARE(t->checklist->item(2)->checkState(), Qt::Checked);
    // Saved after the game.
    QCOMPARE(tally::readTallyFile(m_path).grid.SaveGrid(), t->stringgrid_scores.SaveGrid());
    QVERIFY(m_errors.isEmpty());
}

void TallyWindowTests::thirdPlayerWins()
{
    Tally t(m_path);
    t.track({QStringLiteral("Blue"), QStringLiteral("Gold")});
    t.opponents = QStringList{QStringLiteral("Blue"), QStringLiteral("Gold"), QStringLiteral("Rust")};
    t->addgame(QStringLiteral("Rust"));
    QCOMPARE(t.cell(1, 0), QStringLiteral("1"));
    QCOMPARE(t.cell(2, 0), QStringLiteral("0"));
    QCOMPARE(t.counts(1), QStringLiteral("1 0 0 1 1 0 0 1"));
    QCOMPARE(t.counts(2), QStringLiteral("1 0 0 1 1 0 0 1"));
    t->addgame(QStringLiteral("Gold"));
    QCOMPARE(t.counts(1), QStringLiteral("2 0 0 2 2 0 0 2"));
    QCOMPARE(t.counts(2), QStringLiteral("2 1 0 1 2 1 0 1"));
    QCOMPARE(t.cell(1, 0), QStringLiteral("2"));
}

void TallyWindowTests::opponentNamedAddtomine()
{
    Tally t(m_path);
    t.track({QStringLiteral("Blue")});
    t.opponents = QStringList{QStringLiteral("Blue"), QStringLiteral("addtomine")};
    t->addgame(QStringLiteral("addtomine")); // the name reads as the local player's win
    QCOMPARE(t.cell(2, 0), QStringLiteral("1"));
    QCOMPARE(t.counts(1), QStringLiteral("1 0 1 0 1 0 1 0"));
}

void TallyWindowTests::namesDifferingInCase()
{
    Tally t(m_path);
    t.track({QStringLiteral("Blue")});
    // The same name in another case is not tallied twice.
    t.track({QStringLiteral("BLUE"), QStringLiteral("blue")});
    QCOMPARE(t->listbox_tally->count(), 1);
    QCOMPARE(t->stringgrid_scores.rowCount(), 2);
    QCOMPARE(t->checklist->item(0)->checkState(), Qt::Checked);
    // Found without regard to case, but the win test is exact: neither won.
    t.opponents = QStringList{QStringLiteral("BLUE")};
    t->addgame(QStringLiteral("BLUE"));
    QCOMPARE(t.counts(1), QStringLiteral("1 0 0 1 1 0 0 1"));
}

void TallyWindowTests::selectedOpponentIsShown()
{
    Tally t(m_path);
    t.track({QStringLiteral("Blue"), QStringLiteral("Gold")});
    t->listbox_tally->setCurrentRow(1);
    QCOMPARE(t->label_hisname->text(), QStringLiteral("Gold Wins:"));
    QCOMPARE(t->label_hisnametop->text(), QStringLiteral("Gold's Tally"));
    t.opponents = QStringList{QStringLiteral("Gold")};
    t->addgame(QStringLiteral("Gold")); // the shown counts follow the game
    QCOMPARE(t.label("label_1"), QStringLiteral("1"));
    QCOMPARE(t.label("label_2"), QStringLiteral("1"));
    QCOMPARE(t.label("label_6"), QStringLiteral("1"));
    QCOMPARE(t.label("label_3"), QStringLiteral("0"));
}

void TallyWindowTests::removingOpponents()
{
    Tally t(m_path);
    t.track({QStringLiteral("Blue"), QStringLiteral("Gold")});
    t.opponents = QStringList{QStringLiteral("Gold")};
    t->addgame(QStringLiteral("addtomine"));

    // No: the item is checked again and the row stays.
    t.answer = false;
    t->listbox_tally->item(0)->setCheckState(Qt::Unchecked);
    QTRY_COMPARE(t.questions.size(), 1);
    QCOMPARE(t.questions.first(), QStringLiteral("This will delete Blue's Tally, Are you want to delete it?"));
    QCOMPARE(t->listbox_tally->item(0)->checkState(), Qt::Checked);
    QCOMPARE(t->stringgrid_scores.rowCount(), 3);

    // Yes: the row goes and the later rows move up.
    t.answer = true;
    t->listbox_tally->item(0)->setCheckState(Qt::Unchecked);
    QTRY_COMPARE(t->listbox_tally->count(), 1);
    QCOMPARE(t->stringgrid_scores.rowCount(), 2);
    QCOMPARE(t.cell(0, 1), QStringLiteral("Gold"));
    QCOMPARE(t.counts(1), QStringLiteral("1 0 1 0 1 0 1 0"));
    // The last one: only the own totals are left.
    t->listbox_tally->item(0)->setCheckState(Qt::Unchecked);
    QTRY_COMPARE(t->listbox_tally->count(), 0);
    QCOMPARE(t->stringgrid_scores.rowCount(), 1);
    QCOMPARE(t.cell(1, 0), QStringLiteral("1"));
}

void TallyWindowTests::removingByUncheckingTheBox()
{
    // Unchecking in the check list of the game does not remove the tally.
    Tally t(m_path);
    t.track({QStringLiteral("Blue")});
    t->checklist->item(0)->setCheckState(Qt::Unchecked);
    QCOMPARE(t->listbox_tally->count(), 1);
    // Checking an untallied name in the list adds it, as a click does.
    t->fillChecklist({QStringLiteral("Blue"), QStringLiteral("Rust")});
    t->checklist->item(1)->setCheckState(Qt::Checked);
    QCOMPARE(t->listbox_tally->count(), 2);
    QCOMPARE(t.cell(0, 2), QStringLiteral("Rust"));
    QCOMPARE(t.counts(2), QStringLiteral("0 0 0 0 0 0 0 0"));
    QVERIFY(t.questions.isEmpty());
}

void TallyWindowTests::resetThenAGame()
{
    Tally t(m_path);
    t.track({QStringLiteral("Blue")});
    t.opponents = QStringList{QStringLiteral("Blue")};
    t->addgame(QStringLiteral("Blue"));
    t->listbox_tally->setCurrentRow(0);
    t.answer = false;
    t->button_reset->click();
    QCOMPARE(t.questions, QStringList{QStringLiteral("Are you sure you want to reset the Tally?")});
    QCOMPARE(t.cell(1, 0), QStringLiteral("1"));
    t.answer = true;
    t->button_resetClick();
    QCOMPARE(t->stringgrid_scores.rowCount(), 1);
    QCOMPARE(t->listbox_tally->count(), 0);
    for (const char *l : {"mylabel_1", "mylabel_2", "label_1", "label_2", "label_5", "label_8"})
        QCOMPARE(t.label(l), QStringLiteral("0"));
    t->addgame(QStringLiteral("addtomine"));
    QCOMPARE(t.cell(1, 0), QStringLiteral("1"));
    QCOMPARE(t.cell(2, 0), QStringLiteral("1"));
    QCOMPARE(t->stringgrid_scores.rowCount(), 1);
}

void TallyWindowTests::restartShowsTotalsAndZeroSession()
{
    {
        Tally t(m_path);
        t.track({QStringLiteral("Blue"), QStringLiteral("Gold")});
        t.opponents = QStringList{QStringLiteral("Blue"), QStringLiteral("Gold")};
        t->addgame(QStringLiteral("Gold"));
        t->addgame(QStringLiteral("addtomine"));
        t.track({QStringLiteral("Rust")}); // tallied after the last game: kept by the exit save
    }
    Tally t(m_path);
    QCOMPARE(t->listbox_tally->count(), 3);
    QCOMPARE(t->listbox_tally->item(2)->text(), QStringLiteral("Rust"));
    QCOMPARE(t->listbox_tally->item(0)->checkState(), Qt::Checked);
    QCOMPARE(t.label("mylabel_1"), QStringLiteral("2"));
    QCOMPARE(t.label("mylabel_2"), QStringLiteral("1"));
    QCOMPARE(t.counts(1), QStringLiteral("2 0 1 1 0 0 0 0"));
    QCOMPARE(t.counts(2), QStringLiteral("2 1 1 0 0 0 0 0"));
    // The file still holds the last session's counts until the next save.
    const TallyGrid stored = tally::readTallyFile(m_path).grid;
    QCOMPARE(stored.cell(5, 1), QStringLiteral("2"));
}

void TallyWindowTests::damagedFilesAreSetAside_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    const QString path = tally::tallyFilePath(m_dir.path());
    QTest::newRow("not a container") << QByteArray("hello, tally") << QString();
    QTest::newRow("cut container") << pack(TallyGrid().SaveGrid()).left(12) << QString();
    QTest::newRow("eight columns") << pack("8\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n")
                                   << QStringLiteral("Tally : the file does not hold a tally (column count)");
    QTest::newRow("absurd row count") << pack("9\r\n100001\r\n")
                                      << QStringLiteral("Tally : the file does not hold a tally (row count)");
    QTest::newRow("lines run out") << pack("9\r\n3\r\n0\r\nBlue\r\n") << QStringLiteral("Tally : the file is cut short");
    Q_UNUSED(path);
}

void TallyWindowTests::damagedFilesAreSetAside()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    writeFile(m_path, content);
    {
        Tally t(m_path);
        QCOMPARE(m_errors.size(), 1);
        if (!message.isEmpty())
            QCOMPARE(m_errors.first(), message);
        else
            QVERIFY2(m_errors.first().contains(m_path), qPrintable(m_errors.first())); // the compressor's message
        QCOMPARE(t->stringgrid_scores.rowCount(), 1);
        QCOMPARE(t.label("mylabel_1"), QStringLiteral("0"));
        QCOMPARE(slurp(m_path + QStringLiteral(".bad")), content);
        QVERIFY(!QFile::exists(m_path));
        t.opponents = QStringList{QStringLiteral("Blue")};
        t->addgame(QStringLiteral("Blue"));
    }
    // The new tally goes to the file; the damaged one stays set aside.
    QCOMPARE(tally::readTallyFile(m_path).grid.cell(1, 0), QStringLiteral("1"));
    QCOMPARE(slurp(m_path + QStringLiteral(".bad")), content);
    QCOMPARE(m_errors.size(), 1);
}

int runTallyWindowTests(int argc, char **argv)
{
    TallyWindowTests t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_tallywindow.moc"
