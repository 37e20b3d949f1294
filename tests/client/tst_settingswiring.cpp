// The main window and its settings file: read once at this window's own
// arrival, written by the saved options and on a close after a move, never
// before the file was read; the placement rules; the phrase editor's keys.
#include "viewkit.h"
#include "wiring.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTextEdit>
#include <QToolButton>

using namespace vexlo;

namespace {

QAction *action(Tchat &c, const char *name)
{
    QAction *a = c.findChild<QAction *>(QLatin1String(name));
    if (!a)
        qFatal("no action %s", name);
    return a;
}

const QByteArray kDefaultFile = "[Vexlo]\nTextsize=8\nTop=3\nLeft=3\nWidth=775\nHeight=577\nTiles=\n"
                                "Textcolor=clBlack\nActioncolor=clBlack\nPlaytoscore=5\nTimeperturn=60\n"
                                "Botspeed=1000\nTurnsound=0\nAutoerase=true\nPlaysounds=true\nChatterSounds=true\n";

} // namespace

class SettingsWiringTests : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;

private Q_SLOTS:
    void initTestCase() { env = std::make_unique<TestEnvironment>(); }
    void init()
    {
        env->errors.clear();
        QFile::remove(iniPath());
        QDir(iniPath()).removeRecursively();
        QFile::remove(tallyPath());
    }

    void noFileAtLogin();
    void storedValuesAreApplied();
    void nothingIsSavedBeforeLogin();
    void optionsSaveAfterLogin();
    void tileSetIsKept();
    void closingSavesOnlyAfterAMove();
    void closingFitsTheWorkArea();
    void failedSaveKeepsTheWindowOpen();
    void resetScreenLocationAndMinimumSize();
    void phraseEditorWritesOnlyThePhraseKeys();
};

void SettingsWiringTests::noFileAtLogin()
{
    Player p;
    Tchat &c = p.chat();
    QVERIFY(!action(c, "PlayChatterSounds1")->isChecked());
    p.login();
    QCOMPARE(chatText(c)->font().pointSize(), 8);
    QVERIFY(action(c, "N8")->isChecked());
    QCOMPARE(viewkit::boundsOf(&c), WindowBounds{});
    QCOMPARE(c.preferences().chatColour(), clBlack);
    QCOMPARE(c.preferences().actionColour(), clBlack);
    QCOMPARE(p.w.gamestart.UpDown1()->value(), 5);
    QCOMPARE(p.w.gamestart.UpDown2()->value(), 60);
    QCOMPARE(c.preferences().options().botSpeed, 1000);
    QVERIFY(action(c, "Normal1")->isChecked() && !action(c, "Slow1")->isChecked());
    QCOMPARE(c.preferences().options().turnSound, 0);
    QVERIFY(action(c, "Classic1")->isChecked() && !action(c, "New1")->isChecked());
    QCOMPARE(phraseButton(c, 3)->toolTip(), QStringLiteral("Nice Try!"));
    QCOMPARE(c.preferences().options().tiles, QString());
    // All three switches on, chatter sounds included.
    QVERIFY(action(c, "PlaySounds1")->isChecked() && action(c, "AutoEraseInvalidWord1")->isChecked() && action(c, "PlayChatterSounds1")->isChecked());
    QVERIFY(c.preferences().options().autoErase);
    QVERIFY(!QFile::exists(iniPath())); // reading writes nothing
    // The first save writes the fifteen keys in their order.
    action(c, "PlayChatterSounds1")->trigger();
    QVERIFY(!action(c, "PlayChatterSounds1")->isChecked());
    QCOMPARE(slurp(iniPath()), QByteArray(kDefaultFile).replace("ChatterSounds=true", "ChatterSounds=false"));
}

void SettingsWiringTests::storedValuesAreApplied()
{
    writeFile(iniPath(), "[VEXLO]\nTextsize=12\nTop=40\nLeft=0x32\nWidth=900\nHeight=700\n"
                         "Textcolor=$000080FF\nPlaytoscore=7\nTimeperturn=abc\nBotspeed=750\n"
                         "Turnsound=2\nPhrase4=Cool!\nPlaysounds=False\nAutoerase=false\n");
    Player p;
    Tchat &c = p.chat();
    p.w.gamestart.UpDown2()->setValue(45);
    p.login(4);
    QCOMPARE(chatText(c)->font().pointSize(), 12);
    QVERIFY(action(c, "N12")->isChecked() && !action(c, "N8")->isChecked());
    QCOMPARE(viewkit::boundsOf(&c), (WindowBounds{50, 40, 900, 700}));
    QCOMPARE(chatEntry(c)->palette().color(QPalette::Text), QColor(255, 128, 0));
    QCOMPARE(p.w.gamestart.UpDown1()->value(), 7);
    QCOMPARE(p.w.gamestart.UpDown2()->value(), 45); // not a number: the arrows stay
    QVERIFY(action(c, "Normal1")->isChecked());
    QVERIFY(action(c, "Classic1")->isChecked());
    QCOMPARE(phraseButton(c, 4)->toolTip(), QStringLiteral("Cool!"));
    QVERIFY(action(c, "PlaySounds1")->isChecked());
    QVERIFY(!action(c, "AutoEraseInvalidWord1")->isChecked());
    QVERIFY(action(c, "PlayChatterSounds1")->isChecked());

    // A save writes the window's place and the game options with the rest.
    action(c, "N10")->trigger();
    QCOMPARE(p.ini("Textsize"), QStringLiteral("10"));
    QCOMPARE(p.ini("Timeperturn"), QStringLiteral("45"));
    QCOMPARE(p.ini("Left"), QStringLiteral("50"));
    QVERIFY(!action(c, "N10")->isChecked()); // choosing a size moves no check mark
}
void SettingsWiringTests::nothingIsSavedBeforeLogin()
{
    const QByteArray stored = "[Vexlo]\nPlaysounds=false\nBotspeed=2000\nTextcolor=clRed\n";
    writeFile(iniPath(), stored);
    Player p;
    Tchat &c = p.chat();
    p.w.colourChoice = clBlue;
    action(c, "Fast1")->trigger();
    action(c, "N12")->trigger();
    action(c, "TextColor1")->trigger();
    c.move(200, 200);
    c.close();
    QVERIFY(p.w.closed);
    QCOMPARE(slurp(iniPath()), stored);
    QCOMPARE(p.w.chat.preferences().options().botSpeed, 500); // the entries still act
    QVERIFY(env->errors.isEmpty());
}
void SettingsWiringTests::optionsSaveAfterLogin()
{
    writeFile(iniPath(), "[Vexlo]\nPlaysounds=false\nBotspeed=2000\n");
    Player p;
    Tchat &c = p.chat();
    p.login();
    QVERIFY(!action(c, "PlaySounds1")->isChecked());
    QVERIFY(action(c, "Slow1")->isChecked());
    // The entries save, and their check marks move.
    action(c, "PlaySounds1")->trigger();
    QCOMPARE(p.ini("Playsounds"), QStringLiteral("true"));
    action(c, "Fast1")->trigger();
    QCOMPARE(p.ini("Botspeed"), QStringLiteral("500"));
    QVERIFY(action(c, "Fast1")->isChecked() && !action(c, "Slow1")->isChecked());
    action(c, "New1")->trigger();
    QCOMPARE(p.ini("Turnsound"), QStringLiteral("1"));
    QVERIFY(action(c, "New1")->isChecked() && !action(c, "Classic1")->isChecked());
    action(c, "AutoEraseInvalidWord1")->trigger();
    QVERIFY(!action(c, "AutoEraseInvalidWord1")->isChecked() && !c.preferences().options().autoErase);
    action(c, "N14")->trigger();
    QCOMPARE(p.ini("Textsize"), QStringLiteral("14"));

    // Text Color saves only when confirmed; Action Color saves either way.
    IniFile ini(iniPath());
    ini.writeString(QStringLiteral("Vexlo"), QStringLiteral("Textcolor"), QStringLiteral("marker"));
    ini.writeString(QStringLiteral("Vexlo"), QStringLiteral("Actioncolor"), QStringLiteral("marker"));
    p.w.colourChoice = std::nullopt;
    action(c, "TextColor1")->trigger();
    QCOMPARE(p.ini("Textcolor"), QStringLiteral("marker"));
    action(c, "ActionColor1")->trigger();
    QCOMPARE(p.ini("Actioncolor"), QStringLiteral("clBlack"));
    p.w.colourChoice = rgbColor(255, 128, 0);
    action(c, "TextColor1")->trigger();
    QCOMPARE(p.ini("Textcolor"), QStringLiteral("$000080FF"));

    // The host's game options are saved with everything else, and when a game starts.
    p.w.gamestart.UpDown1()->setValue(9);
    action(c, "PlaySounds1")->trigger();
    QCOMPARE(p.ini("Playtoscore"), QStringLiteral("9"));
    QList<std::pair<int, int>> sent;
    QObject::disconnect(&p.w.gamestart, &Tgamestart::startRequested, nullptr, nullptr); // no connection here
    QObject::connect(&p.w.gamestart, &Tgamestart::startRequested, &c, [&](int r, int s) { sent.append({r, s}); });
    p.w.gamestart.UpDown1()->setValue(1);
    p.w.gamestart.UpDown2()->setValue(30);
    p.w.gamestart.button_start->click();
    QCOMPARE(sent, (QList<std::pair<int, int>>{{1, 30}}));
    QCOMPARE(p.ini("Playtoscore"), QStringLiteral("1"));
    QCOMPARE(p.ini("Timeperturn"), QStringLiteral("30"));
    QVERIFY(env->errors.isEmpty());
}
void SettingsWiringTests::tileSetIsKept()
{
    // A set that cannot be read: the built-in tiles, its entry unchecked, the line said.
    writeFile(QDir(platform::dataFolder()).filePath(QStringLiteral("vexlotiles/broken.bmp")), "BM not a picture");
    writeFile(iniPath(), "[Vexlo]\nTiles=broken\nPlaysounds=false\n");
    Player p;
    Tchat &c = p.chat();
    p.login(2, "Red");
    QVERIFY(env->errors.isEmpty());
    QCOMPARE(p.w.lines(), strings({"You are Connected.",
                                   "The tile set broken could not be read; the built-in tiles are used."}));
    QCOMPARE(p.w.label("label_playername", 2)->text(), QStringLiteral("Red"));
    QVERIFY(!action(c, "PlaySounds1")->isChecked());
    QVERIFY(!action(c, "broken3")->isChecked());
}
void SettingsWiringTests::closingSavesOnlyAfterAMove()
{
    {
        Player p;
        p.login();
        p.chat().close();
        QVERIFY(p.w.closed);
        QVERIFY(!QFile::exists(iniPath())); // unmoved: nothing written
    }
    Player p;
    p.login();
    p.chat().move(4, 3);
    p.chat().close();
    QVERIFY(p.w.closed);
    QCOMPARE(slurp(iniPath()), QByteArray(kDefaultFile).replace("Left=3", "Left=4"));
}

void SettingsWiringTests::closingFitsTheWorkArea()
{
    Player p;
    p.login();
    p.workArea = QRect(0, 0, 785, 560);
    viewkit::placeWindow(&p.chat(), {3, 3, 805, 600});
    p.chat().close();
    QVERIFY(p.w.closed);
    // Once only: 15 pixels narrower and lower, still 5 too wide.
    QCOMPARE(p.ini("Width"), QStringLiteral("790"));
    QCOMPARE(p.ini("Height"), QStringLiteral("585"));
    QCOMPARE(viewkit::boundsOf(&p.chat()), (WindowBounds{3, 3, 790, 585}));
}

void SettingsWiringTests::failedSaveKeepsTheWindowOpen()
{
    Player p;
    p.login();
    QVERIFY(QDir().mkpath(iniPath())); // a folder where the file should be
    p.chat().move(10, 10);
    p.chat().close();
    QVERIFY(!p.w.closed);
    QCOMPARE(env->errors, QStringList{QStringLiteral("Unable to write to %1").arg(iniPath())});
    // The bounds were remembered: the second close goes through without a save.
    p.chat().close();
    QVERIFY(p.w.closed);
    QCOMPARE(env->errors.size(), 1);
}

void SettingsWiringTests::resetScreenLocationAndMinimumSize()
{
    Player p;
    Tchat &c = p.chat();
    p.login();
    viewkit::placeWindow(&c, {100, 80, 900, 700});
    action(c, "ResetScreenLocation1")->trigger();
    QCOMPARE(viewkit::boundsOf(&c), WindowBounds{});
    QVERIFY(!QFile::exists(iniPath())); // saved only by the next save
    c.resize(300, 200);
    QVERIFY(c.centralWidget()->width() >= 768);
    QVERIFY(c.centralWidget()->height() >= 533);
}

void SettingsWiringTests::phraseEditorWritesOnlyThePhraseKeys()
{
    writeFile(iniPath(), "[Vexlo]\nPhrase4=Cool!\n");
    Player p;
    Tchat &c = p.chat();
    action(c, "PhraseList1")->trigger(); // before login: the stored phrase is not read yet
    QVERIFY(p.phrases.isVisible());
    QCOMPARE(p.phrases.phrase[3]->text(), QStringLiteral("Excellent!"));
    p.phrases.close();
    p.login();
    action(c, "PhraseList1")->trigger();
    QCOMPARE(p.phrases.phrase[3]->text(), QStringLiteral("Cool!"));
    p.phrases.phrase[1]->clear();
    p.phrases.phrase[4]->setText(QStringLiteral("/me grins"));
    QTest::mouseClick(p.phrases.button_done, Qt::LeftButton);
    QVERIFY(!p.phrases.isVisible());
    QCOMPARE(phraseButton(c, 2)->toolTip(), QString());
    QCOMPARE(phraseButton(c, 5)->toolTip(), QStringLiteral("/me grins"));
    // The file holds the nine phrase keys and nothing else.
    QList<QByteArray> lines = slurp(iniPath()).trimmed().split('\n');
    QCOMPARE(lines.takeFirst(), QByteArray("[Vexlo]"));
    QCOMPARE(lines.size(), 9);
    const QStringList texts = p.phrases.phrases();
    for (int n = 1; n <= 9; ++n)
        QCOMPARE(p.ini(qPrintable(QStringLiteral("Phrase%1").arg(n))), texts[n - 1]);
    QCOMPARE(p.ini("Phrase2"), QString());
}

int runSettingsWiringTests(int argc, char **argv)
{
    SettingsWiringTests t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_settingswiring.moc"
