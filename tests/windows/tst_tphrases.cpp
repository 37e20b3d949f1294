// Tphrases: its face, the Tab order, filling, the 50-character limit, "Done",
// the close box and a settings file that cannot be written.
#include "errorreport.h"
#include "settingsmodel.h"
#include "tphrases.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include "testfiles.h"

#include <QTest>

using namespace vexlo;

namespace {

const QStringList kDefaults{
    QStringLiteral("Way To Go!"), QStringLiteral("Good One!"), QStringLiteral("Nice Try!"),
    QStringLiteral("Excellent!"), QStringLiteral("Brilliant!"), QStringLiteral("Wow, WTG!"),
    QStringLiteral("Thanks!"), QStringLiteral("Way To Go Teamie!"), QStringLiteral("Good Game Everyone!")};

} // namespace

class PhrasesTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void looksAsDescribed();
    void tabVisitsTheEntriesInItsOrder();
    void openingFillsFromTheButtons();
    void entriesHoldFiftyCharacters();
    void doneAppliesAndStoresOnlyThePhraseKeys();
    void donePhrasesComeBackAfterARestart();
    void closeBoxKeepsEverything();
    void failedWriteKeepsTheEditorOpen();

private:
    QTemporaryDir m_dir;
    QString m_path;
    QStringList m_buttons;
    int m_applied = 0;
    void wire(Tphrases &p);
};

void PhrasesTests::init()
{
    QVERIFY(m_dir.isValid());
    m_path = settingsFilePath(m_dir.path());
    QFile::remove(m_path);
    m_buttons = kDefaults;
    m_applied = 0;
}

// The main window's side: the buttons take what Done hands over.
void PhrasesTests::wire(Tphrases &p)
{
    p.settingsFile = m_path;
    connect(&p, &Tphrases::setButtonPhrases, this, [this](const QStringList &texts) {
        m_buttons = texts;
        ++m_applied;
    });
}

void PhrasesTests::looksAsDescribed()
{
    Tphrases p;
    QCOMPARE(p.windowTitle(), QStringLiteral("Vexlo - Phrase Buttons "));
    QCOMPARE(p.size(), QSize(368, 264));
    QCOMPARE(p.minimumSize(), p.maximumSize());
    const QColor peach(255, 218, 176);
    const int labelTops[] = {13, 37, 61, 85, 109, 132, 156, 180, 204};
    const int entryTops[] = {12, 36, 60, 84, 108, 131, 155, 179, 203};
    for (int n = 1; n <= 9; ++n) {
        auto *l = p.findChild<QLabel *>(QStringLiteral("Label%1").arg(n));
        auto *e = p.findChild<QLineEdit *>(QStringLiteral("phrase%1").arg(n));
        QVERIFY(l && e);
        QCOMPARE(l->text(), QStringLiteral("Phrase Button %1:").arg(n));
        QCOMPARE(l->pos(), QPoint(9, labelTops[n - 1]));
        QCOMPARE(l->palette().color(QPalette::WindowText), peach);
        QVERIFY2(l->geometry().right() < e->x(), "label runs into its entry");
        QCOMPARE(e->geometry(), QRect(112, entryTops[n - 1], 248, 21));
        QCOMPARE(e->maxLength(), 50);
        QCOMPARE(e->palette().color(QPalette::Base), peach);
        QCOMPARE(p.phrase[n - 1], e);
    }
    auto *note = p.findChild<QLabel *>(QStringLiteral("Label13"));
    QVERIFY(note);
    QCOMPARE(note->text(), QStringLiteral("Buttons can only be used once every 2 seconds"));
    QCOMPARE(note->geometry(), QRect(25, 229, 137, 25));
    QCOMPARE(note->palette().color(QPalette::WindowText), QColor(Qt::red));
    QVERIFY(note->wordWrap());
    QCOMPARE(note->alignment(), Qt::AlignCenter);
    auto *done = p.findChild<QPushButton *>(QStringLiteral("button_done"));
    QVERIFY(done);
    QCOMPARE(done->text(), QStringLiteral("Done"));
    QCOMPARE(done->geometry(), QRect(266, 230, 95, 20));
}

void PhrasesTests::tabVisitsTheEntriesInItsOrder()
{
    QWidget main;
    main.resize(775, 577);
    main.show();
    Tphrases p(&main);
    p.showPhrases(kDefaults);
    QVERIFY(QTest::qWaitForWindowActive(&p));
    QCOMPARE(p.focusWidget(), p.phrase[0]);
    QStringList visited;
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(p.focusWidget(), Qt::Key_Tab);
        visited.append(p.focusWidget()->objectName());
    }
    QCOMPARE(visited, (QStringList{QStringLiteral("phrase2"), QStringLiteral("phrase3"), QStringLiteral("phrase4"),
                                   QStringLiteral("phrase5"), QStringLiteral("phrase9"), QStringLiteral("phrase8"),
                                   QStringLiteral("phrase7"), QStringLiteral("phrase6"), QStringLiteral("button_done"),
                                   QStringLiteral("phrase1")}));
    // Centred on the main window.
    QVERIFY((p.geometry().center() - main.geometry().center()).manhattanLength() <= 1);
}

void PhrasesTests::openingFillsFromTheButtons()
{
    Tphrases p;
    wire(p);
    m_buttons[3] = QStringLiteral("Cool!"); // from "Phrase4" at login
    p.showPhrases(m_buttons);
    QVERIFY(p.isVisible());
    QCOMPARE(p.phrase[3]->text(), QStringLiteral("Cool!"));
    QCOMPARE(p.phrases(), m_buttons);

    // "Phrase List" again discards edits not yet done.
    p.phrase[0]->setText(QStringLiteral("unsaved"));
    p.showPhrases(m_buttons);
    QCOMPARE(p.phrases(), m_buttons);
    QCOMPARE(m_applied, 0);
    QVERIFY(!QFile::exists(m_path));
}

void PhrasesTests::entriesHoldFiftyCharacters()
{
    Tphrases p;
    const QString sixty(60, u'x');
    // A longer phrase from the settings file is cut when shown.
    p.fill({sixty});
    QCOMPARE(p.phrase[0]->text(), sixty.left(50));
    QCOMPARE(p.phrase[1]->text(), QString());
    // Typing stops at 50.
    p.phrase[1]->clear();
    QTest::keyClicks(p.phrase[1], QString(60, u'y'));
    QCOMPARE(p.phrase[1]->text(), QString(50, u'y'));
    // Pasting is cut at 50.
    QApplication::clipboard()->setText(QString(60, u'z'));
    p.phrase[2]->clear();
    p.phrase[2]->paste();
    QCOMPARE(p.phrase[2]->text(), QString(50, u'z'));
}

void PhrasesTests::doneAppliesAndStoresOnlyThePhraseKeys()
{
    const QByteArray before = "; mine\r\n[Vexlo]\r\nTop=40\r\nPhrase2=Old\r\n\r\n[Lobby]\r\nPhrase1=keep\r\n";
    {
        QFile f(m_path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(before);
    }
    Tphrases p;
    wire(p);
    p.showPhrases(m_buttons);
    p.phrase[1]->clear();
    p.phrase[3]->setText(QStringLiteral("/me cheers"));
    QTest::mouseClick(p.button_done, Qt::LeftButton);

    QCOMPARE(m_applied, 1);
    QStringList expected = kDefaults;
    expected[1] = QString();
    expected[3] = QStringLiteral("/me cheers");
    QCOMPARE(m_buttons, expected);
    QVERIFY(!p.isVisible());
    QCOMPARE(slurp(m_path),
             QByteArray("; mine\r\n[Vexlo]\r\nTop=40\r\nPhrase2=\r\nPhrase1=Way To Go!\r\nPhrase3=Nice Try!\r\n"
                        "Phrase4=/me cheers\r\nPhrase5=Brilliant!\r\nPhrase6=Wow, WTG!\r\nPhrase7=Thanks!\r\n"
                        "Phrase8=Way To Go Teamie!\r\nPhrase9=Good Game Everyone!\r\n\r\n[Lobby]\r\nPhrase1=keep\r\n"));

    // Enter in an entry presses "Done" as well.
    p.showPhrases(m_buttons);
    p.phrase[4]->setText(QStringLiteral("Five"));
    QTest::keyClick(p.phrase[4], Qt::Key_Return);
    QCOMPARE(m_applied, 2);
    QCOMPARE(m_buttons[4], QStringLiteral("Five"));
    QVERIFY(!p.isVisible());
}

void PhrasesTests::donePhrasesComeBackAfterARestart()
{
    Tphrases p;
    wire(p);
    p.showPhrases(m_buttons);
    p.phrase[1]->clear();
    p.phrase[6]->setText(QStringLiteral("Merci!"));
    p.button_doneClick();

    // Next run: the buttons start with the defaults and the file is read at login.
    GameSettings s;
    s.load(IniFile(m_path));
    QStringList buttons = kDefaults;
    for (int i = 0; i < PhraseCount; ++i)
        if (!s.phrases[i].isEmpty())
            buttons[i] = s.phrases[i];
    QStringList expected = kDefaults;
    expected[6] = QStringLiteral("Merci!"); // the emptied phrase 2 is back to its default
    QCOMPARE(buttons, expected);
}

void PhrasesTests::closeBoxKeepsEverything()
{
    Tphrases p;
    wire(p);
    p.showPhrases(m_buttons);
    p.phrase[0]->setText(QStringLiteral("Never mind"));
    QVERIFY(p.close());
    QVERIFY(!p.isVisible());
    QCOMPARE(m_applied, 0);
    QCOMPARE(m_buttons, kDefaults);
    QVERIFY(!QFile::exists(m_path));
    // Escape is the close box too.
    p.showPhrases(m_buttons);
    p.phrase[0]->setText(QStringLiteral("Never mind"));
    QTest::keyClick(p.phrase[0], Qt::Key_Escape);
    QVERIFY(!p.isVisible());
    QCOMPARE(m_applied, 0);
    QVERIFY(!QFile::exists(m_path));
    // The next opening shows the buttons' phrases.
    p.showPhrases(m_buttons);
    QCOMPARE(p.phrase[0]->text(), QStringLiteral("Way To Go!"));
}

void PhrasesTests::failedWriteKeepsTheEditorOpen()
{
    QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    m_path = settingsFilePath(blocker.fileName());
    QStringList reported;
    setErrorReporter([&](const QString &text) { reported.append(text); });

    Tphrases p;
    wire(p);
    p.showPhrases(m_buttons);
    p.phrase[0]->setText(QStringLiteral("New"));
    QTest::mouseClick(p.button_done, Qt::LeftButton);
    setErrorReporter({});

    QCOMPARE(reported, QStringList{QStringLiteral("Unable to write to ") + m_path});
    // The buttons already carry the new phrases; the editor stays open.
    QCOMPARE(m_applied, 1);
    QCOMPARE(m_buttons[0], QStringLiteral("New"));
    QVERIFY(p.isVisible());
    QVERIFY_THROWS_EXCEPTION(EIniFileException, p.button_doneClick());
    QVERIFY(p.isVisible());
}

int runPhrasesTests(int argc, char **argv)
{
    PhrasesTests t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_tphrases.moc"
