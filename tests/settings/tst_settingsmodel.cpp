// GameSettings, the phrase keys and SettingsSession: defaults, conversions, the
// written file, the load-before-save rule and the placement rules on close.
#include "settingsmodel.h"

#include <QFile>
#include <QTemporaryDir>
#include "testfiles.h"

#include <QTest>

using namespace vexlo;

namespace {

// The file the program writes after a first run with default choices.
const QByteArray kFirstRunFile =
    "[Vexlo]\n"
    "Textsize=8\n"
    "Top=3\n"
    "Left=3\n"
    "Width=775\n"
    "Height=577\n"
    "Tiles=\n"
    "Textcolor=clBlack\n"
    "Actioncolor=clBlack\n"
    "Playtoscore=5\n"
    "Timeperturn=60\n"
    "Botspeed=1000\n"
    "Turnsound=0\n"
    "Autoerase=true\n"
    "Playsounds=true\n"
    "ChatterSounds=true\n";

} // namespace

class SettingsModelTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void noFileGivesTheDefaults();
    void firstSaveWritesTheFifteenKeysInOrder();
    void everyKeyIsRead();
    void switchesAndChoicesCompareExactly();
    void unreadableNumbers();
    void keptValues();
    void tilesNamedClassicKeepTheBuiltInSet();
    void coloursPassThroughAsText();
    void saveKeepsEverythingElse();
    void phraseKeysAreWrittenOnlyByTheEditor();
    void soloComputerPlayers();
    void nothingIsSavedBeforeTheFileIsRead();
    void closingUnmovedSavesNothing();
    void closingTooWideOrTallFitsOnce();
    void failedSaveOnCloseLetsTheNextCloseThrough();
    void minimumClientSize();

private:
    QTemporaryDir m_dir;
    QString m_path;
};

void SettingsModelTests::init()
{
    QVERIFY(m_dir.isValid());
    m_path = settingsFilePath(m_dir.path());
    QFile::remove(m_path);
}

void SettingsModelTests::noFileGivesTheDefaults()
{
    QVERIFY(m_path.endsWith(QStringLiteral("/quorbitlobby.ini")));
    GameSettings s;
    s.chatterSounds = false; // unchecked before login
    s.playToScore = 9;       // the arrows somewhere else
    s.phrases[0] = QStringLiteral("Way To Go!");
    s.load(IniFile(m_path));
    QCOMPARE(s.textSize, 8);
    QCOMPARE(s.bounds, (WindowBounds{3, 3, 775, 577}));
    QCOMPARE(s.textColor, QStringLiteral("clblack"));
    QCOMPARE(s.actionColor, QStringLiteral("clblack"));
    QCOMPARE(s.playToScore, 5);
    QCOMPARE(s.timePerTurn, 60);
    QCOMPARE(s.botSpeed, 1000);
    QCOMPARE(s.turnSound, 0);
    QCOMPARE(s.phrases[0], QStringLiteral("Way To Go!"));
    QCOMPARE(s.phrases[8], QString());
    QCOMPARE(s.tiles, QString());
    QVERIFY(s.playSounds);
    QVERIFY(s.autoErase);
    QVERIFY(s.chatterSounds);
    QVERIFY(!QFile::exists(m_path));
}

void SettingsModelTests::firstSaveWritesTheFifteenKeysInOrder()
{
    GameSettings s;
    s.textColor = s.actionColor = QStringLiteral("clBlack"); // as the window's colours write
    IniFile ini(m_path);
    s.save(ini);
    QCOMPARE(slurp(m_path), kFirstRunFile);
    // Saving again changes nothing; loading gives back what was saved.
    s.save(ini);
    QCOMPARE(slurp(m_path), kFirstRunFile);
    GameSettings back;
    back.load(ini);
    QCOMPARE(back.textColor, QStringLiteral("clBlack"));
    QCOMPARE(back.bounds, s.bounds);
}

void SettingsModelTests::everyKeyIsRead()
{
    writeFile(m_path,
          "[vexlo]\ntextsize=12\nTOP=-40\nLeft=$20\nWidth=1000\nHeight=700\n"
          "Textcolor=$000080FF\nActioncolor=CLRED\nPlaytoscore=7\nTimeperturn=0x5A\n"
          "Botspeed=2000\nTurnsound=1\nPhrase4=Cool!\nPhrase9=/me cheers\nTiles=Marble\n"
          "Playsounds=false\nAutoerase=false\nChatterSounds=false\n");
    GameSettings s;
    s.load(IniFile(m_path));
    QCOMPARE(s.textSize, 12);
    QCOMPARE(s.bounds, (WindowBounds{32, -40, 1000, 700}));
    QCOMPARE(s.textColor, QStringLiteral("$000080FF"));
    QCOMPARE(s.actionColor, QStringLiteral("CLRED"));
    QCOMPARE(s.playToScore, 7);
    QCOMPARE(s.timePerTurn, 90);
    QCOMPARE(s.botSpeed, 2000);
    QCOMPARE(s.turnSound, 1);
    QCOMPARE(s.phrases[3], QStringLiteral("Cool!"));
    QCOMPARE(s.phrases[8], QStringLiteral("/me cheers"));
    QCOMPARE(s.tiles, QStringLiteral("Marble"));
    QVERIFY(!s.playSounds);
    QVERIFY(!s.autoErase);
    QVERIFY(!s.chatterSounds);
}

void SettingsModelTests::switchesAndChoicesCompareExactly()
{
    writeFile(m_path, "[Vexlo]\nBotspeed=750\nTurnsound=2\nPlaysounds=False\nAutoerase=0\nChatterSounds=FALSE\n");
    GameSettings s;
    IniFile ini(m_path);
    s.load(ini);
    QCOMPARE(s.botSpeed, 1000);
    QCOMPARE(s.turnSound, 0);
    QVERIFY(s.playSounds);
    QVERIFY(s.autoErase);
    QVERIFY(s.chatterSounds);
    // 750 is written back as Normal's 1000.
    s.save(ini);
    QCOMPARE(ini.readString(settingsSection(), QStringLiteral("Botspeed"), QString()), QStringLiteral("1000"));

    writeFile(m_path, "[Vexlo]\nBotspeed=500\n");
    s.load(ini);
    QCOMPARE(s.botSpeed, 500);
    writeFile(m_path, "[Vexlo]\nBotspeed=$1F4\nTurnsound= 1 \n"); // 500 as hexadecimal text is not "500"
    s.load(ini);
    QCOMPARE(s.botSpeed, 1000);
    QCOMPARE(s.turnSound, 1); // blanks around a value do not count
}

void SettingsModelTests::unreadableNumbers()
{
    writeFile(m_path, "[Vexlo]\nTextsize=nine\nTop=3.5\nLeft=\nWidth=99999999999\nHeight=$\n");
    GameSettings s;
    s.textSize = 14;
    s.bounds = {100, 100, 900, 900};
    s.load(IniFile(m_path));
    QCOMPARE(s.textSize, 8);
    QCOMPARE(s.bounds, WindowBounds{});

    // A size with no "Text Size" entry is still taken as it stands.
    writeFile(m_path, "[Vexlo]\nTextsize=9\n");
    s.load(IniFile(m_path));
    QCOMPARE(s.textSize, 9);
}

void SettingsModelTests::keptValues()
{
    // Game-option arrows: an empty value or one that is not a number keeps them
    // where they are; a missing key gives the default.
    writeFile(m_path, "[Vexlo]\nPlaytoscore=\nTimeperturn=soon\nPhrase3=\nPhrase2=Mine\n");
    GameSettings s;
    s.playToScore = 9;
    s.timePerTurn = 115;
    s.phrases = {QStringLiteral("p1"), QStringLiteral("p2"), QStringLiteral("p3")};
    s.load(IniFile(m_path));
    QCOMPARE(s.playToScore, 9);
    QCOMPARE(s.timePerTurn, 115);
    QCOMPARE(s.phrases[0], QStringLiteral("p1")); // missing
    QCOMPARE(s.phrases[1], QStringLiteral("Mine"));
    QCOMPARE(s.phrases[2], QStringLiteral("p3")); // empty

    // Out of the arrows' range is handed on as it stands.
    writeFile(m_path, "[Vexlo]\nPlaytoscore=50\n");
    s.load(IniFile(m_path));
    QCOMPARE(s.playToScore, 50);
    QCOMPARE(s.timePerTurn, 60);
}

void SettingsModelTests::tilesNamedClassicKeepTheBuiltInSet()
{
    writeFile(m_path, "[Vexlo]\nTiles=CLASSIC\n");
    GameSettings s;
    IniFile ini(m_path);
    s.load(ini);
    QCOMPARE(s.tiles, QString());
    // Nothing was loaded, so the next save writes an empty "Tiles".
    s.save(ini);
    QVERIFY(slurp(m_path).contains("\nTiles=\n"));

    writeFile(m_path, "[Vexlo]\nTiles=Wood\n");
    s.load(ini);
    QCOMPARE(s.tiles, QStringLiteral("Wood"));
    writeFile(m_path, "[Vexlo]\nTiles=\n");
    s.load(ini);
    QCOMPARE(s.tiles, QStringLiteral("Wood"));
}

void SettingsModelTests::coloursPassThroughAsText()
{
    // The window reads the colour text; what it hands back is written unchanged.
    writeFile(m_path, "[Vexlo]\nTextcolor=$000080FF\nActioncolor=not a colour\n");
    GameSettings s;
    IniFile ini(m_path);
    s.load(ini);
    QCOMPARE(s.textColor, QStringLiteral("$000080FF"));
    QCOMPARE(s.actionColor, QStringLiteral("not a colour"));
    s.actionColor = QStringLiteral("clRed");
    s.save(ini);
    GameSettings back;
    back.load(ini);
    QCOMPARE(back.textColor, QStringLiteral("$000080FF"));
    QCOMPARE(back.actionColor, QStringLiteral("clRed"));
}

void SettingsModelTests::saveKeepsEverythingElse()
{
    const QByteArray before =
        "[Lobby]\r\nUser=Someone\r\nTextsize=30\r\n\r\n"
        "[Vexlo]\r\nPhrase1=Hello there\r\nFuture=key\r\nTop=50\r\n\r\n"
        "[Zeta]\r\n; comment\r\n";
    writeFile(m_path, before);
    GameSettings s;
    IniFile ini(m_path);
    s.load(ini);
    s.textColor = s.actionColor = QStringLiteral("clBlack");
    s.save(ini);
    QCOMPARE(slurp(m_path),
             QByteArray("[Lobby]\r\nUser=Someone\r\nTextsize=30\r\n\r\n"
                        "[Vexlo]\r\nPhrase1=Hello there\r\nFuture=key\r\nTop=50\r\n"
                        "Textsize=8\r\nLeft=3\r\nWidth=775\r\nHeight=577\r\nTiles=\r\nTextcolor=clBlack\r\n"
                        "Actioncolor=clBlack\r\nPlaytoscore=5\r\nTimeperturn=60\r\nBotspeed=1000\r\nTurnsound=0\r\n"
                        "Autoerase=true\r\nPlaysounds=true\r\nChatterSounds=true\r\n\r\n"
                        "[Zeta]\r\n; comment\r\n"));
}

void SettingsModelTests::phraseKeysAreWrittenOnlyByTheEditor()
{
    writeFile(m_path, "[Vexlo]\nTop=40\nPhrase1=Old\n[Other]\nPhrase1=elsewhere\n");
    IniFile ini(m_path);
    const QStringList typed{QStringLiteral("One"), QString(), QStringLiteral("Three"), QStringLiteral("4"),
                            QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"),
                            QStringLiteral("/me waves")};
    savePhrases(ini, typed);
    QCOMPARE(slurp(m_path),
             QByteArray("[Vexlo]\nTop=40\nPhrase1=One\nPhrase2=\nPhrase3=Three\nPhrase4=4\nPhrase5=5\n"
                        "Phrase6=6\nPhrase7=7\nPhrase8=8\nPhrase9=/me waves\n[Other]\nPhrase1=elsewhere\n"));
    // The empty phrase 2 is ignored at the next login.
    GameSettings s;
    s.phrases[1] = QStringLiteral("Good One!");
    s.load(ini);
    QCOMPARE(s.phrases[1], QStringLiteral("Good One!"));
    QCOMPARE(s.phrases[8], QStringLiteral("/me waves"));
    // A save leaves every phrase key alone, whatever the buttons carry.
    s.phrases.fill(QStringLiteral("changed"));
    s.save(ini);
    for (int n = 1; n <= PhraseCount; ++n)
        QCOMPARE(ini.readString(settingsSection(), phraseKey(n), QStringLiteral("missing")), typed[n - 1]);
    QVERIFY(slurp(m_path).endsWith("[Other]\nPhrase1=elsewhere\n"));

    // Fewer than nine texts: the rest are written empty.
    savePhrases(ini, {QStringLiteral("Only")});
    QCOMPARE(ini.readString(settingsSection(), phraseKey(1), QString()), QStringLiteral("Only"));
    QCOMPARE(ini.readString(settingsSection(), phraseKey(9), QStringLiteral("missing")), QString());
}

void SettingsModelTests::soloComputerPlayers()
{
    IniFile ini(m_path);
    QCOMPARE(loadSoloBots(ini), 0); // no file: none
    const std::pair<QByteArray, int> read[] = {{"3", 3}, {"x", 0}, {"", 0}, {"9", 5}, {"-2", 0}, {"$2", 2}};
    for (const auto &[value, count] : read) {
        writeFile(m_path, "[Vexlo]\nSolobots=" + value + "\n");
        QCOMPARE(loadSoloBots(ini), count);
    }
    // Written on its own, after the other keys; a save of the fifteen leaves it.
    writeFile(m_path, kFirstRunFile);
    saveSoloBots(ini, 4);
    QCOMPARE(slurp(m_path), kFirstRunFile + "Solobots=4\n");
    GameSettings().save(ini);
    QCOMPARE(loadSoloBots(ini), 4);
}

void SettingsModelTests::nothingIsSavedBeforeTheFileIsRead()
{
    const QByteArray stored = "[Vexlo]\nTextsize=14\nPlaysounds=false\n";
    writeFile(m_path, stored);
    SettingsSession session(m_path);
    GameSettings starting; // what the window shows before login
    QVERIFY(!session.loaded());
    QVERIFY(!session.save(starting));
    QVERIFY(!session.closing(WindowBounds{50, 50, 800, 600}, QSize(1920, 1080)));
    QCOMPARE(slurp(m_path), stored);

    GameSettings s;
    session.load(s);
    QVERIFY(session.loaded());
    QCOMPARE(s.textSize, 14);
    QVERIFY(!s.playSounds);
    QVERIFY(session.save(s));
    QVERIFY(slurp(m_path).contains("Playsounds=false\n"));
}

void SettingsModelTests::closingUnmovedSavesNothing()
{
    writeFile(m_path, "[Vexlo]\nTop=10\nLeft=20\nWidth=800\nHeight=600\n");
    SettingsSession session(m_path);
    GameSettings s;
    session.load(s);
    QCOMPARE(session.remembered(), (WindowBounds{20, 10, 800, 600}));
    const QSize workArea(1920, 1040);
    QVERIFY(!session.closing(s.bounds, workArea));

    // Moved one pixel: the new bounds are remembered and all fifteen keys saved.
    WindowBounds moved = s.bounds;
    moved.left += 1;
    const std::optional<WindowBounds> b = session.closing(moved, workArea);
    QCOMPARE(b, std::optional<WindowBounds>(moved));
    QCOMPARE(session.remembered(), moved);
    s.bounds = *b;
    QVERIFY(session.save(s));
    QCOMPARE(IniFile(m_path).readInteger(settingsSection(), QStringLiteral("Left"), 0), 21);
    QVERIFY(IniFile(m_path).valueExists(settingsSection(), QStringLiteral("ChatterSounds")));
    // Closing again at the same place saves nothing.
    QVERIFY(!session.closing(moved, workArea));

    // "Reset Screen Location" puts the window at the default bounds, which the
    // next close saves unless they were the remembered ones.
    QVERIFY(session.closing(WindowBounds{}, workArea));
}

void SettingsModelTests::closingTooWideOrTallFitsOnce()
{
    const QSize workArea(1024, 740);
    // 20 pixels too wide: 15 narrower, still 5 too wide.
    QCOMPARE(fitToWorkArea({0, 0, 1044, 700}, workArea), (WindowBounds{0, 0, 1029, 700}));
    QCOMPARE(fitToWorkArea({0, 0, 800, 741}, workArea), (WindowBounds{0, 0, 800, 726}));
    QCOMPARE(fitToWorkArea({5, 6, 2000, 2000}, workArea), (WindowBounds{5, 6, 1985, 1985}));
    QCOMPARE(fitToWorkArea({0, 0, 1024, 740}, workArea), (WindowBounds{0, 0, 1024, 740}));

    SettingsSession session(m_path);
    GameSettings s;
    session.load(s);
    QCOMPARE(session.closing({3, 3, 1044, 577}, workArea), std::optional<WindowBounds>({3, 3, 1029, 577}));
    QCOMPARE(session.remembered(), (WindowBounds{3, 3, 1029, 577}));
}

void SettingsModelTests::failedSaveOnCloseLetsTheNextCloseThrough()
{
    QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path = settingsFilePath(blocker.fileName());
    SettingsSession session(path);
    GameSettings s;
    session.load(s); // no file there: defaults
    const WindowBounds moved{40, 40, 775, 577};
    const std::optional<WindowBounds> b = session.closing(moved, QSize(1920, 1080));
    QVERIFY(b);
    s.bounds = *b;
    try {
        session.save(s);
        QFAIL("the save went through");
    } catch (const EIniFileException &e) {
        QCOMPARE(e.message(), QStringLiteral("Unable to write to ") + path);
    }
    // The window stayed open; closing again saves nothing.
    QVERIFY(!session.closing(moved, QSize(1920, 1080)));
}

void SettingsModelTests::minimumClientSize()
{
    QCOMPARE(vexlo::minimumClientSize(QSize(500, 900)), QSize(768, 900));
    QCOMPARE(vexlo::minimumClientSize(QSize(1000, 300)), QSize(1000, 533));
    QCOMPARE(vexlo::minimumClientSize(QSize(768, 533)), QSize(768, 533));
    QCOMPARE(vexlo::minimumClientSize(QSize(10, 10), QSize(100, 50)), QSize(104, 54));
}

int runSettingsModelTests(int argc, char **argv)
{
    SettingsModelTests t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_settingsmodel.moc"
