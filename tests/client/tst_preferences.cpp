// The preferences without a window: the settings file read at this player's own
// arrival and not before, each option saved as it changes once the file was
// read, and the tile set the file names.
#include "core.h"
#include "inifile.h"
#include "platform.h"
#include "settingsmodel.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

using namespace vexlo;

namespace {

// The core at its own arrival in slot 2: the settings file is read.
struct Arrived : Core
{
    Arrived() : Core(2) { feed("CMD_newplayerinfo+2+Red"); }
};

} // namespace

class PreferencesTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { env = std::make_unique<TestEnvironment>(); }
    void init()
    {
        env->errors.clear();
        QFile::remove(iniPath());
    }

    void readAtTheOwnArrivalOnly();
    void eachOptionSavesItsKey();
    void tileSetNamedInTheFile();

private:
    std::unique_ptr<TestEnvironment> env;
};

void PreferencesTests::readAtTheOwnArrivalOnly()
{
    const QByteArray stored = "[VEXLO]\nTextsize=12\nTextcolor=$000080FF\nActioncolor=CLRED\nBotspeed=2000\n"
                              "Turnsound=1\nPhrase3=\nPhrase4=Cool!\nPlaysounds=False\nAutoerase=false\n";
    writeFile(iniPath(), stored);
    Core k(2);
    // Before the arrival: the options change, nothing is written.
    QVERIFY(!k.preferences.options().chatterSounds);
    k.preferences.togglePlaySounds();
    k.preferences.setBotSpeed(500);
    k.preferences.setChatColour(clBlue);
    QVERIFY(!k.preferences.options().playSounds);
    QCOMPARE(k.preferences.options().botSpeed, 500);
    QCOMPARE(slurp(iniPath()), stored);
    // Another seat's arrival reads nothing.
    k.feed("CMD_newplayerinfo+3+Blue");
    QCOMPARE(k.preferences.options().botSpeed, 500);
    // The own arrival: the file's values replace the starting ones.
    QSignalSpy size(&k.preferences, &Preferences::textSizeChanged);
    k.feed("CMD_newplayerinfo+2+Red");
    QCOMPARE(size.value(0).value(0).toInt(), 12);
    QCOMPARE(k.preferences.chatColour(), rgbColor(255, 128, 0));
    QCOMPARE(k.preferences.actionColour(), clRed);
    QCOMPARE(k.preferences.options().botSpeed, 2000);
    QCOMPARE(k.preferences.options().turnSound, 1);
    QCOMPARE(k.preferences.phrases().mid(2, 2), strings({"Nice Try!", "Cool!"})); // an empty key keeps the phrase
    QVERIFY(k.preferences.options().playSounds); // only exactly "false" turns it off
    QVERIFY(!k.preferences.options().autoErase);
    QVERIFY(k.preferences.options().chatterSounds); // on unless the file says otherwise
    QCOMPARE(slurp(iniPath()), stored);             // reading writes nothing
    // A second arrival (a new session in the same program) does not read again.
    writeFile(iniPath(), "[Vexlo]\nBotspeed=750\n");
    k.feed("CMD_newplayerinfo+2+Red");
    QCOMPARE(k.preferences.options().botSpeed, 2000);
    QVERIFY(env->errors.isEmpty());
}

void PreferencesTests::eachOptionSavesItsKey()
{
    writeFile(iniPath(), "[Other]\nKeep=me\n[Vexlo]\nPlaysounds=false\nUnknown=kept\n");
    Arrived k;
    Preferences &p = k.preferences;
    p.togglePlaySounds();
    QCOMPARE(storedSetting("Playsounds"), QStringLiteral("true"));
    p.toggleChatterSounds();
    QCOMPARE(storedSetting("ChatterSounds"), QStringLiteral("false"));
    p.setBotSpeed(500);
    QCOMPARE(storedSetting("Botspeed"), QStringLiteral("500"));
    p.setTurnSound(1);
    QCOMPARE(storedSetting("Turnsound"), QStringLiteral("1"));
    p.toggleAutoErase();
    QCOMPARE(storedSetting("Autoerase"), QStringLiteral("false"));
    p.setTextSize(14);
    QCOMPARE(storedSetting("Textsize"), QStringLiteral("14"));
    p.setChatColour(rgbColor(255, 128, 0));
    QCOMPARE(storedSetting("Textcolor"), QStringLiteral("$000080FF"));
    p.setActionColour(clRed);
    QCOMPARE(storedSetting("Actioncolor"), QStringLiteral("clRed"));
    // Other keys and sections stay; phrases are the phrase editor's to save.
    QCOMPARE(storedSetting("Unknown"), QStringLiteral("kept"));
    QCOMPARE(IniFile(iniPath()).readString(QStringLiteral("Other"), QStringLiteral("Keep"), {}), QStringLiteral("me"));
    QCOMPARE(storedSetting("Phrase1"), QStringLiteral("<none>"));
    QVERIFY(env->errors.isEmpty());
}

void PreferencesTests::tileSetNamedInTheFile()
{
    // A stored tile set with no file: nothing loads, the name is kept and saved again.
    writeFile(iniPath(), "[Vexlo]\nTiles=Wood\n");
    {
        Arrived k;
        QCOMPARE(k.preferences.options().tiles, QStringLiteral("Wood"));
        k.preferences.togglePlaySounds();
        QCOMPARE(storedSetting("Tiles"), QStringLiteral("Wood"));
    }
    // "CLASSIC" is the built-in set.
    writeFile(iniPath(), "[Vexlo]\nTiles=CLASSIC\n");
    {
        Arrived k;
        QCOMPARE(k.preferences.options().tiles, QString());
    }
    // A set that cannot be read: the built-in tiles, one line saying so, and the
    // rest of the file still applies.
    const QDir data(platform::dataFolder());
    QVERIFY(data.mkpath(QStringLiteral("vexlotiles")));
    writeFile(data.filePath(QStringLiteral("vexlotiles/broken.bmp")), "BM not a picture");
    writeFile(iniPath(), "[Vexlo]\nTiles=broken\nPlaysounds=false\n");
    Arrived k;
    QVERIFY(env->errors.isEmpty());
    QCOMPARE(k.lines, strings({"You are Connected.", "The tile set broken could not be read; the built-in tiles are used."}));
    QVERIFY(!k.preferences.options().playSounds);
    QVERIFY(k.preferences.options().tiles.isEmpty());
    QCOMPARE(k.preferences.tiles().count(), TileSet::builtIn().count());
}

int runPreferencesTests(int argc, char **argv)
{
    PreferencesTests t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_preferences.moc"
