// IniFile: reading, writing in place, byte-for-byte keeping of everything else,
// integers, long values and failing writes.
#include "inifile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include "testfiles.h"

#include <QTest>

namespace {

const QString S = QStringLiteral("Vexlo");

} // namespace

class IniFileTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void missingFileGivesDefaults();
    void firstWriteCreatesFileAndSection();
    void namesMatchWithoutCase();
    void emptyValueIsNotMissing();
    void rewritingAKeyKeepsEveryOtherByte();
    void newKeyJoinsItsSectionAndKeepsLineEndings();
    void newSectionGoesAtTheEnd();
    void valuesAreWrittenAsGiven();
    void lineBreaksCannotInjectKeys();
    void longValuesAreCutOnReading();
    void integers_data();
    void integers();
    void readIntegerFallsBack();
    void writesOfSeveralKeysAreOneReplacement();
    void failedWriteNamesThePathAndChangesNothing();
    void keysWrittenByOthersSurvive();
    void singleByteFilesStillRead();

private:
    QTemporaryDir m_dir;
    QString m_path;
};

void IniFileTests::init()
{
    QVERIFY(m_dir.isValid());
    m_path = m_dir.filePath(QStringLiteral("quorbitlobby.ini"));
    QFile::remove(m_path);
}

void IniFileTests::missingFileGivesDefaults()
{
    const IniFile ini(m_path);
    QCOMPARE(ini.readString(S, QStringLiteral("Tiles"), QStringLiteral("none")), QStringLiteral("none"));
    QCOMPARE(ini.readInteger(S, QStringLiteral("Top"), 3), 3);
    QVERIFY(!ini.valueExists(S, QStringLiteral("Top")));
    // Reading never creates the file.
    QVERIFY(!QFile::exists(m_path));

    // A folder where the file should be reads as missing too.
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.ini")));
    const IniFile folder(m_dir.filePath(QStringLiteral("folder.ini")));
    QCOMPARE(folder.readInteger(S, QStringLiteral("Top"), 7), 7);
}

void IniFileTests::firstWriteCreatesFileAndSection()
{
    IniFile ini(m_path);
    ini.writeString(S, QStringLiteral("Textsize"), QStringLiteral("8"));
    QCOMPARE(slurp(m_path), QByteArray("[Vexlo]\nTextsize=8\n"));
    ini.writeString(S, QStringLiteral("Top"), QStringLiteral("3"));
    QCOMPARE(slurp(m_path), QByteArray("[Vexlo]\nTextsize=8\nTop=3\n"));
    QCOMPARE(ini.readInteger(S, QStringLiteral("Textsize"), 0), 8);
    // Nothing but the file is left in the folder (no temporary files).
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("quorbitlobby.ini")});
}

void IniFileTests::namesMatchWithoutCase()
{
    writeFile(m_path, "[vexLO]\ntextSIZE=10\n[Other]\nTextsize=99\n[VEXLO]\nTextsize=77\n");
    IniFile ini(m_path);
    // First section of the name, first key of the name, letter case ignored.
    QCOMPARE(ini.readInteger(S, QStringLiteral("Textsize"), 0), 10);
    QCOMPARE(ini.readInteger(QStringLiteral("other"), QStringLiteral("TEXTSIZE"), 0), 99);
    ini.writeString(S, QStringLiteral("TextSize"), QStringLiteral("12"));
    // The key keeps its spelling in the file; no second key appears.
    QCOMPARE(slurp(m_path), QByteArray("[vexLO]\ntextSIZE=12\n[Other]\nTextsize=99\n[VEXLO]\nTextsize=77\n"));
}

void IniFileTests::emptyValueIsNotMissing()
{
    writeFile(m_path, "[Vexlo]\nPhrase3=\n");
    const IniFile ini(m_path);
    QCOMPARE(ini.readString(S, QStringLiteral("Phrase3"), QStringLiteral("x")), QString());
    QVERIFY(ini.valueExists(S, QStringLiteral("Phrase3")));
    QCOMPARE(ini.readString(S, QStringLiteral("Phrase4"), QStringLiteral("x")), QStringLiteral("x"));
}

void IniFileTests::rewritingAKeyKeepsEveryOtherByte()
{
    // A byte-order mark, CR LF, comments, blanks around names, an unknown key,
    // a key-less line, other sections and no line end at the very end.
    const QByteArray before =
        "\xEF\xBB\xBF; written by hand\r\n"
        "[Lobby]\r\nTextsize=44\r\nName = Someone\r\n\r\n"
        "  [ Vexlo ]  \r\n"
        "  Top = 100 \r\n"
        "Unknown=keep me\r\n"
        "just some text\r\n"
        "Left=5\r\n"
        "\r\n"
        "[Other]\r\nx=y";
    writeFile(m_path, before);
    IniFile ini(m_path);
    QCOMPARE(ini.readInteger(S, QStringLiteral("Top"), 0), 100);
    QCOMPARE(ini.readInteger(S, QStringLiteral("Textsize"), 8), 8);
    QCOMPARE(ini.readString(QStringLiteral("Lobby"), QStringLiteral("name"), QString()), QStringLiteral("Someone"));

    ini.writeString(S, QStringLiteral("Top"), QStringLiteral("200"));
    ini.writeString(S, QStringLiteral("Left"), QStringLiteral("6"));
    QByteArray expected = before;
    expected.replace("  Top = 100 \r\n", "  Top =200\r\n");
    expected.replace("Left=5\r\n", "Left=6\r\n");
    QCOMPARE(slurp(m_path), expected);

    // The key at the end of a file without a final line end keeps that shape.
    ini.writeString(QStringLiteral("Other"), QStringLiteral("X"), QStringLiteral("z"));
    expected.chop(1);
    expected += 'z';
    QCOMPARE(slurp(m_path), expected);
}

void IniFileTests::newKeyJoinsItsSectionAndKeepsLineEndings()
{
    writeFile(m_path, "[Vexlo]\r\nTop=3\r\n; note\r\n\r\n\r\n[Other]\r\nA=1\r\n");
    IniFile ini(m_path);
    ini.writeString(S, QStringLiteral("Left"), QStringLiteral("4"));
    QCOMPARE(slurp(m_path), QByteArray("[Vexlo]\r\nTop=3\r\n; note\r\nLeft=4\r\n\r\n\r\n[Other]\r\nA=1\r\n"));

    // A section whose last line has no line end gets one before the new key.
    writeFile(m_path, "[Other]\nA=1\n[Vexlo]\nTop=3");
    ini.writeString(S, QStringLiteral("Left"), QStringLiteral("4"));
    QCOMPARE(slurp(m_path), QByteArray("[Other]\nA=1\n[Vexlo]\nTop=3\nLeft=4\n"));

    // An empty section.
    writeFile(m_path, "[Vexlo]\n[Other]\nA=1\n");
    ini.writeString(S, QStringLiteral("Top"), QStringLiteral("3"));
    QCOMPARE(slurp(m_path), QByteArray("[Vexlo]\nTop=3\n[Other]\nA=1\n"));
}

void IniFileTests::newSectionGoesAtTheEnd()
{
    writeFile(m_path, "[Lobby]\r\nA=1");
    IniFile ini(m_path);
    ini.writeString(S, QStringLiteral("Top"), QStringLiteral("3"));
    QCOMPARE(slurp(m_path), QByteArray("[Lobby]\r\nA=1\r\n\r\n[Vexlo]\r\nTop=3\r\n"));
    // Keys before any section belong to none.
    writeFile(m_path, "Top=9\n");
    QCOMPARE(ini.readInteger(S, QStringLiteral("Top"), 3), 3);
    ini.writeString(S, QStringLiteral("Top"), QStringLiteral("4"));
    QCOMPARE(slurp(m_path), QByteArray("Top=9\n\n[Vexlo]\nTop=4\n"));
}

void IniFileTests::valuesAreWrittenAsGiven()
{
    IniFile ini(m_path);
    const QString odd = QStringLiteral("a = b ; [c] \"quoted\" $000080FF café");
    ini.writeString(S, QStringLiteral("Phrase1"), odd);
    QCOMPARE(slurp(m_path), QByteArray("[Vexlo]\nPhrase1=") + odd.toUtf8() + '\n');
    QCOMPARE(ini.readString(S, QStringLiteral("Phrase1"), QString()), odd);
    // Blanks around a value are not kept by reading: hand-written "Top = 3" reads as 3.
    ini.writeString(S, QStringLiteral("Phrase2"), QStringLiteral("  padded  "));
    QCOMPARE(ini.readString(S, QStringLiteral("Phrase2"), QString()), QStringLiteral("padded"));
}

void IniFileTests::lineBreaksCannotInjectKeys()
{
    IniFile ini(m_path);
    ini.writeString(S, QStringLiteral("Phrase1"), QStringLiteral("hi\n[Vexlo]\r\nTop=-5000"));
    QVERIFY(!ini.valueExists(S, QStringLiteral("Top")));
    QCOMPARE(ini.readString(S, QStringLiteral("Phrase1"), QString()), QStringLiteral("hi [Vexlo]  Top=-5000"));
    // Names the file form cannot hold are refused outright.
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, ini.writeString(S, QStringLiteral("a=b"), QString()));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, ini.writeString(QStringLiteral("a]b"), QStringLiteral("k"), QString()));
}

void IniFileTests::longValuesAreCutOnReading()
{
    IniFile ini(m_path);
    QString longValue;
    for (int i = 0; i < 3000; ++i)
        longValue += QChar(u'a' + i % 26);
    ini.writeString(S, QStringLiteral("Phrase1"), longValue);
    // Written whole, read up to 2,047 characters.
    QCOMPARE(slurp(m_path), QByteArray("[Vexlo]\nPhrase1=") + longValue.toLatin1() + '\n');
    QCOMPARE(ini.readString(S, QStringLiteral("Phrase1"), QString()), longValue.left(2047));
    ini.writeString(S, QStringLiteral("Phrase2"), longValue.left(2047));
    QCOMPARE(ini.readString(S, QStringLiteral("Phrase2"), QString()), longValue.left(2047));
}

void IniFileTests::integers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value"); // -999 for "not an integer"
    QTest::newRow("decimal") << QStringLiteral("775") << 775;
    QTest::newRow("blanks") << QStringLiteral("  8 ") << 8;
    QTest::newRow("negative") << QStringLiteral("-20") << -20;
    QTest::newRow("plus") << QStringLiteral("+7") << 7;
    QTest::newRow("leading zeros") << QStringLiteral("0060") << 60;
    QTest::newRow("dollar hex") << QStringLiteral("$1F") << 31;
    QTest::newRow("0x hex") << QStringLiteral("0x1f") << 31;
    QTest::newRow("0X hex") << QStringLiteral("0XFF") << 255;
    QTest::newRow("colour") << QStringLiteral("$000080FF") << 0x80FF;
    QTest::newRow("all 32 bits") << QStringLiteral("$FFFFFFFF") << -1;
    QTest::newRow("negative hex") << QStringLiteral("-$10") << -16;
    QTest::newRow("largest") << QStringLiteral("2147483647") << 2147483647;
    QTest::newRow("smallest") << QStringLiteral("-2147483648") << int(-2147483647 - 1);
    QTest::newRow("too large") << QStringLiteral("2147483648") << -999;
    QTest::newRow("hex too large") << QStringLiteral("$100000000") << -999;
    QTest::newRow("empty") << QString() << -999;
    QTest::newRow("sign only") << QStringLiteral("-") << -999;
    QTest::newRow("dollar only") << QStringLiteral("$") << -999;
    QTest::newRow("0x only") << QStringLiteral("0x") << -999;
    QTest::newRow("trailing text") << QStringLiteral("12abc") << -999;
    QTest::newRow("hex digits without prefix") << QStringLiteral("FF") << -999;
    QTest::newRow("fraction") << QStringLiteral("1.5") << -999;
    QTest::newRow("inner blank") << QStringLiteral("1 2") << -999;
    QTest::newRow("arabic digits") << QStringLiteral("\u0661\u0662") << -999;
    QTest::newRow("word") << QStringLiteral("clRed") << -999;
}

void IniFileTests::integers()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    const std::optional<int> parsed = IniFile::parseInteger(text);
    if (value == -999)
        QVERIFY2(!parsed, qPrintable(QString::number(parsed.value_or(0))));
    else
        QCOMPARE(parsed, std::optional<int>(value));
}

void IniFileTests::readIntegerFallsBack()
{
    writeFile(m_path, "[Vexlo]\nTextsize=big\nTop=\nLeft=$10\n");
    const IniFile ini(m_path);
    QCOMPARE(ini.readInteger(S, QStringLiteral("Textsize"), 8), 8);
    QCOMPARE(ini.readInteger(S, QStringLiteral("Top"), 3), 3);
    QCOMPARE(ini.readInteger(S, QStringLiteral("Left"), 3), 16);
    IniFile w(m_path);
    w.writeInteger(S, QStringLiteral("Top"), -12);
    QCOMPARE(w.readString(S, QStringLiteral("Top"), QString()), QStringLiteral("-12"));
}

void IniFileTests::writesOfSeveralKeysAreOneReplacement()
{
    writeFile(m_path, "[Vexlo]\nB=old\n");
    IniFile ini(m_path);
    ini.writeStrings(S, {{QStringLiteral("A"), QStringLiteral("1")},
                         {QStringLiteral("b"), QStringLiteral("2")},
                         {QStringLiteral("C"), QStringLiteral("3")},
                         {QStringLiteral("A"), QStringLiteral("4")}});
    QCOMPARE(slurp(m_path), QByteArray("[Vexlo]\nB=2\nA=4\nC=3\n"));
}

void IniFileTests::failedWriteNamesThePathAndChangesNothing()
{
    // Tests run as root, where permissions stop nothing: a folder that is really
    // a file cannot hold the settings file.
    const QString blocker = m_dir.filePath(QStringLiteral("notafolder"));
    writeFile(blocker, "x");
    const QString path = blocker + QStringLiteral("/quorbitlobby.ini");
    IniFile ini(path);
    try {
        ini.writeString(S, QStringLiteral("Top"), QStringLiteral("3"));
        QFAIL("the write went through");
    } catch (const EIniFileException &e) {
        QCOMPARE(e.message(), QStringLiteral("Unable to write to ") + path);
        QCOMPARE(QString::fromUtf8(e.what()), e.message());
    }
    QCOMPARE(slurp(blocker), QByteArray("x"));
    QCOMPARE(ini.readInteger(S, QStringLiteral("Top"), 3), 3);

    // A folder standing where the file should be is neither read nor replaced.
    const QString folder = m_dir.filePath(QStringLiteral("dir.ini"));
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("dir.ini")));
    IniFile onFolder(folder);
    QVERIFY_THROWS_EXCEPTION(EIniFileException, onFolder.writeString(S, QStringLiteral("Top"), QStringLiteral("3")));
    QVERIFY(QFileInfo(folder).isDir());
}

void IniFileTests::keysWrittenByOthersSurvive()
{
    // Two copies of the program share one file: each write starts from what is
    // on disk now, so the other copy's keys are kept.
    IniFile first(m_path);
    IniFile second(m_path);
    first.writeString(S, QStringLiteral("Top"), QStringLiteral("1"));
    second.writeString(S, QStringLiteral("Phrase1"), QStringLiteral("Hi"));
    first.writeString(S, QStringLiteral("Left"), QStringLiteral("2"));
    QCOMPARE(slurp(m_path), QByteArray("[Vexlo]\nTop=1\nPhrase1=Hi\nLeft=2\n"));
}

void IniFileTests::singleByteFilesStillRead()
{
    // A Latin-1 file from a single-byte program: its values read as Latin-1, its
    // bytes stay as they are when another key is written.
    const QByteArray before = "[Vexlo]\nPhrase1=Ol\xE9!\nPhrase2=x\n";
    writeFile(m_path, before);
    IniFile ini(m_path);
    QCOMPARE(ini.readString(S, QStringLiteral("Phrase1"), QString()), QStringLiteral("Olé!"));
    ini.writeString(S, QStringLiteral("Phrase2"), QStringLiteral("Olé"));
    QCOMPARE(slurp(m_path), QByteArray("[Vexlo]\nPhrase1=Ol\xE9!\nPhrase2=Ol\xC3\xA9\n"));
    QCOMPARE(ini.readString(S, QStringLiteral("Phrase2"), QString()), QStringLiteral("Olé"));
}

int runIniFileTests(int argc, char **argv)
{
    IniFileTests t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_inifile.moc"
