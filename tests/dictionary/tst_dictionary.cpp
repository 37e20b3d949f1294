#include "builtinwords.h"
#include "targetlist.h"
#include "tdictn.h"

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString WordsDir = QStringLiteral(VEXLO_WORDS_DIR);
const QString NotFound = QStringLiteral("English.dic dictionary not found!");

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

QList<QByteArray> sourceWords()
{
    static const QList<QByteArray> words = readFile(WordsDir + QStringLiteral("/dictionary.txt")).trimmed().split('\n');
    return words;
}

// Builds a record image the way the build tool does.
QByteArray makeImage(const QList<QByteArray> &words)
{
    QByteArray image;
    for (const QByteArray &word : words)
        image += TDictn::RecordMarker + word.left(TDictn::WordLength).toUpper().leftJustified(TDictn::WordLength, ' ');
    return image;
}

// The lookup as originally designed, record by record, with every text normalised:
// 0x00 becomes a space, spaces are trimmed, the text padded to 15 and upper-cased;
// a record's text is its 14 characters and a space. Equal records are walked back.
int referenceFindWord(const QByteArray &image, const QByteArray &key)
{
    auto normalise = [](QByteArray text, bool *empty) {
        text.replace('\0', ' ');
        while (text.startsWith(' '))
            text.remove(0, 1);
        while (text.endsWith(' '))
            text.chop(1);
        if (empty)
            *empty = text.isEmpty();
        if (text.size() < 15)
            text += QByteArray(15 - text.size(), ' ');
        for (char &c : text) {
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        }
        return text;
    };
    auto recordText = [&](qsizetype index) { return normalise(image.mid(index * 15 + 1, 14) + ' ', nullptr).left(15); };
    bool empty = false;
    const QByteArray normalKey = normalise(key, &empty);
    if (empty)
        return -1;
    qsizetype low = 0;
    qsizetype high = image.size() / 15 - 1;
    while (low <= high) {
        qsizetype middle = (low + high) / 2;
        const QByteArray text = recordText(middle);
        if (text == normalKey) {
            while (middle > 0 && recordText(middle - 1) == normalKey)
                --middle;
            return static_cast<int>(middle);
        }
        if (text > normalKey)
            high = middle - 1;
        else
            low = middle + 1;
    }
    return -1;
}

// Keys near the given words: case changes, padding, nulls, a letter changed,
// added or dropped, and some noise.
QList<QByteArray> probeKeys(const QList<QByteArray> &words, int count, quint32 seed)
{
    QRandomGenerator random(seed);
    static const char noise[] = "abyzABYZ \0-q";
    QList<QByteArray> keys;
    for (int i = 0; i < count; ++i) {
        QByteArray key = words.at(random.bounded(int(words.size())));
        switch (random.bounded(8)) {
        case 0: key = key.toUpper(); break;
        case 1: key = "  " + key + QByteArray(2, '\0'); break;
        case 2: key[random.bounded(int(key.size()))] = static_cast<char>('a' + random.bounded(26)); break;
        case 3: key.insert(random.bounded(int(key.size()) + 1), static_cast<char>('a' + random.bounded(26))); break;
        case 4: key.chop(1); break;
        case 5:
            key.clear();
            for (int n = random.bounded(18); n > 0; --n)
                key += noise[random.bounded(int(sizeof noise) - 1)];
            break;
        default: break;
        }
        keys.append(key);
    }
    return keys;
}

} // namespace

class TestDictionary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void builtInDataIsCarried();
    void edgeCases_data();
    void edgeCases();
    void everyWordFoundAtItsRecord();
    void cutWords();
    void agreesWithRecordByRecordSearch();
    void smallImageGroupEdges();
    void damagedImageRefusesEverything_data();
    void damagedImageRefusesEverything();
    void targetList();
    void damagedTargetList_data();
    void damagedTargetList();
    void buildToolImage();
    void buildToolRefusesBadInput_data();
    void buildToolRefusesBadInput();

private:
    const TDictn dictn;
};

void TestDictionary::builtInDataIsCarried()
{
    QVERIFY2(dictn.isOpen(), qPrintable(dictn.loadFault()));
    QVERIFY(dictn.loadError().isEmpty());
    QCOMPARE(dictn.recordCount(), sourceWords().size());
    QCOMPARE(vexlo::words::dictionaryImage(), makeImage(sourceWords()));
    QCOMPARE(vexlo::words::targetListText(), readFile(WordsDir + QStringLiteral("/targets.txt")));
}

void TestDictionary::edgeCases_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("word"); // the list word it must find, or empty
    QTest::newRow("first record") << QByteArray("aa") << QByteArray("aa");
    QTest::newRow("last record") << QByteArray("zyzzyvas") << QByteArray("zyzzyvas");
    QTest::newRow("AAHING") << QByteArray("AAHING") << QByteArray("aahing");
    QTest::newRow("ZYMURGY") << QByteArray("ZYMURGY") << QByteArray("zymurgy");
    QTest::newRow("lower") << QByteArray("about") << QByteArray("about");
    QTest::newRow("upper") << QByteArray("ABOUT") << QByteArray("about");
    QTest::newRow("mixed") << QByteArray("AbOuT") << QByteArray("about");
    QTest::newRow("spaces around") << QByteArray(" about ") << QByteArray("about");
    QTest::newRow("nulls around") << QByteArray("\0about\0\0", 8) << QByteArray("about");
    QTest::newRow("empty") << QByteArray("") << QByteArray();
    QTest::newRow("spaces only") << QByteArray("     ") << QByteArray();
    QTest::newRow("nulls only") << QByteArray(3, '\0') << QByteArray();
    QTest::newRow("not a word") << QByteArray("xqzvj") << QByteArray();
    QTest::newRow("one letter") << QByteArray("a") << QByteArray();
    QTest::newRow("inner space") << QByteArray("ab out") << QByteArray();
    QTest::newRow("inner null") << QByteArray("ab\0out", 6) << QByteArray();
    QTest::newRow("tab") << QByteArray("about\t") << QByteArray();
    QTest::newRow("latin-1 letter") << QByteArray("\xe0" "bout") << QByteArray();
    QTest::newRow("prefix of a word") << QByteArray("abou") << QByteArray();
}

void TestDictionary::edgeCases()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, word);
    const qsizetype expected = word.isEmpty() ? -1 : sourceWords().indexOf(word);
    QVERIFY(word.isEmpty() || expected >= 0);
    QCOMPARE(dictn.FindWord(key), expected);
    QCOMPARE(dictn.IsWord(key), expected >= 0);
    QCOMPARE(dictn.FindWord(QString::fromLatin1(key)), expected);
    QCOMPARE(dictn.IsWord(QString::fromLatin1(key)), expected >= 0);
}

void TestDictionary::everyWordFoundAtItsRecord()
{
    // A word longer than 14 letters is stored cut; its key is found at the first
    // record holding it, the whole word never.
    QHash<QByteArray, int> firstOfKey;
    const QList<QByteArray> words = sourceWords();
    for (int i = 0; i < words.size(); ++i) {
        const QByteArray &word = words.at(i);
        const QByteArray key = word.left(14);
        auto first = firstOfKey.find(key);
        if (first == firstOfKey.end())
            first = firstOfKey.insert(key, i);
        if (dictn.FindWord(key) != *first)
            QFAIL(qPrintable(QStringLiteral("%1 found at %2").arg(QLatin1String(key)).arg(dictn.FindWord(key))));
        if (word.size() > 14 && dictn.IsWord(word))
            QFAIL(qPrintable(QStringLiteral("%1 has more than 14 letters").arg(QLatin1String(word))));
    }
}

void TestDictionary::cutWords()
{
    // "constitutional" is stored as a word and as the cut key of 14 longer words.
    const int first = static_cast<int>(sourceWords().indexOf("constitutional"));
    QCOMPARE(dictn.FindWord(QByteArrayView("constitutional")), first);
    QCOMPARE(dictn.recordWord(first + 14), QByteArray("CONSTITUTIONAL"));
    QVERIFY(!dictn.IsWord(QByteArrayView("constitutionals")));    // 15 letters
    QVERIFY(!dictn.IsWord(QByteArrayView("constitutionalism")));  // 17 letters
    QVERIFY(!dictn.IsWord(QStringLiteral("CONSTITUTIONALLY")));   // 16 letters
    // Only ever stored cut: the 14-letter key is found, the real word is not.
    QVERIFY(dictn.IsWord(QByteArrayView("acceptabilitie")));
    QVERIFY(!dictn.IsWord(QByteArrayView("acceptabilities")));
    QCOMPARE(dictn.FindWord(QByteArrayView(" internationali ")), sourceWords().indexOf("internationalise"));
}

void TestDictionary::agreesWithRecordByRecordSearch()
{
    const QByteArray image = vexlo::words::dictionaryImage();
    const QList<QByteArray> keys = probeKeys(sourceWords(), 20000, 3);
    int hits = 0;
    for (const QByteArray &key : keys) {
        const int expected = referenceFindWord(image, key);
        hits += expected >= 0;
        if (dictn.FindWord(key) != expected)
            QFAIL(qPrintable(QStringLiteral("\"%1\": %2, expected %3")
                                 .arg(QString::fromLatin1(key))
                                 .arg(dictn.FindWord(key))
                                 .arg(expected)));
    }
    QVERIFY(hits > 5000 && hits < 15000); // the probe mixes hits and misses
}

void TestDictionary::smallImageGroupEdges()
{
    // Words at the edges of the two-letter groups, and a group holding only cut keys.
    const QByteArray az = 'a' + QByteArray(13, 'z'); // 14 letters
    const QByteArray m14(14, 'm');
    const QList<QByteArray> words = {"aa", "aaa", "ab", az + "zz", az + "zzz", "ba", m14, m14 + 'm', "zy", "zz", "zzz"};
    const QByteArray image = makeImage(words);
    const TDictn small(image);
    QVERIFY2(small.isOpen(), qPrintable(small.loadFault()));
    QCOMPARE(small.recordCount(), words.size());
    QList<QByteArray> keys = probeKeys(words, 3000, 7);
    keys += {az, az + 'z', m14, m14 + 'm', "zz", "ZZZ", "zzzz", "b", "bb", "az", "yy", "ZY"};
    for (const QByteArray &key : std::as_const(keys))
        QCOMPARE(small.FindWord(key), referenceFindWord(image, key));
    QCOMPARE(small.FindWord(az), 3);
    QCOMPARE(small.FindWord(m14), 6);
    QCOMPARE(small.FindWord(QByteArrayView("zzz")), 10);
}

void TestDictionary::damagedImageRefusesEverything_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QString>("fault");
    const QByteArray good = makeImage({"about", "cat", "dog"});
    QTest::newRow("missing") << QByteArray() << QStringLiteral("missing");
    QTest::newRow("one byte over") << good + 'x' << QStringLiteral("not a whole number");
    QTest::newRow("cut short") << good.chopped(1) << QStringLiteral("not a whole number");
    QTest::newRow("out of order") << makeImage({"about", "dog", "cat"}) << QStringLiteral("record 2 is out of order");
    QTest::newRow("short word twice") << makeImage({"about", "cat", "cat"}) << QStringLiteral("record 2 is out of order");
    QTest::newRow("lower case") << QByteArray(good).replace("CAT", "cat") << QStringLiteral("record 1 is not a word");
    QTest::newRow("letter after space") << QByteArray(good).replace("CAT ", "CA T") << QStringLiteral("record 1 is not a word");
    QTest::newRow("marker") << QByteArray(good).replace(15, 1, "A") << QStringLiteral("record 1 is not a word");
    QTest::newRow("null") << QByteArray(good).replace(19, 1, QByteArray(1, '\0')) << QStringLiteral("record 1 is not a word");
    QTest::newRow("one letter") << makeImage({"a", "cat"}) << QStringLiteral("record 0 is not a word");
}

void TestDictionary::damagedImageRefusesEverything()
{
    QFETCH(QByteArray, image);
    QFETCH(QString, fault);
    const TDictn damaged(image);
    QVERIFY(!damaged.isOpen());
    QCOMPARE(damaged.loadError(), NotFound);
    QVERIFY2(damaged.loadFault().contains(fault), qPrintable(damaged.loadFault()));
    QCOMPARE(damaged.recordCount(), 0);
    for (const char *word : {"about", "cat", "dog", "ABOUT", " cat "}) {
        QCOMPARE(damaged.FindWord(QByteArrayView(word)), -1);
        QVERIFY(!damaged.IsWord(QString::fromLatin1(word)));
    }
    QCOMPARE(damaged.loadError(), NotFound); // looking up does not change or repeat it
}

void TestDictionary::targetList()
{
    const TargetList targets;
    QCOMPARE(targets.count(), 2460);
    QCOMPARE(targets.at(0), QStringLiteral("aback"));
    QCOMPARE(targets.at(1), QStringLiteral("abbey"));
    QCOMPARE(targets.at(2459), QStringLiteral("zooms"));
    for (int i = 0; i < targets.count(); ++i) {
        if (!dictn.IsWord(targets.at(i)))
            QFAIL(qPrintable(targets.at(i) + QStringLiteral(" is not in the dictionary")));
    }
    QVERIFY_THROWS_EXCEPTION(ETargetListException, targets.at(-1));
    QVERIFY_THROWS_EXCEPTION(ETargetListException, targets.at(2460));

    const TargetList noFinalNewline(QByteArrayView("abcde\nfghij"));
    QCOMPARE(noFinalNewline.count(), 2);
    QCOMPARE(noFinalNewline.at(1), QStringLiteral("fghij"));
}

void TestDictionary::damagedTargetList_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("the list is empty");
    QTest::newRow("newline only") << QByteArray("\n") << QStringLiteral("the list is empty");
    QTest::newRow("short") << QByteArray("abcde\nabcd\n") << QStringLiteral("line 2 is not");
    QTest::newRow("long") << QByteArray("abcdef\n") << QStringLiteral("line 1 is not");
    QTest::newRow("upper") << QByteArray("abcde\nFGHIJ\n") << QStringLiteral("line 2 is not");
    QTest::newRow("crlf") << QByteArray("abcde\r\nfghij\r\n") << QStringLiteral("line 1 is not");
    QTest::newRow("blank line") << QByteArray("abcde\n\nfghij\n") << QStringLiteral("line 2 is not");
    QTest::newRow("two newlines at end") << QByteArray("abcde\n\n") << QStringLiteral("line 2 is not");
    QTest::newRow("high byte") << QByteArray("abcd\xe9\n") << QStringLiteral("line 1 is not");
    QTest::newRow("repeat") << QByteArray("abcde\nabcde\n") << QStringLiteral("line 2 (abcde) does not come after abcde");
    QTest::newRow("order") << QByteArray("fghij\nabcde\n") << QStringLiteral("line 2 (abcde) does not come after fghij");
}

void TestDictionary::damagedTargetList()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, message);
    try {
        const TargetList targets{QByteArrayView(text)};
        QFAIL("the list was accepted");
    } catch (const ETargetListException &e) {
        const QString what = QString::fromLocal8Bit(e.what());
        QVERIFY2(what.startsWith(QStringLiteral("Target word list: ")) && what.contains(message), qPrintable(what));
    }
}

namespace {

struct ToolRun {
    int exitCode;
    QString errors;
};

ToolRun runTool(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(VEXLO_MAKEDICTIONARY), arguments);
    if (!tool.waitForFinished(30000) || tool.exitStatus() != QProcess::NormalExit)
        return {-1, QStringLiteral("the tool did not finish")};
    return {tool.exitCode(), QString::fromLocal8Bit(tool.readAllStandardError())};
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
}

} // namespace

void TestDictionary::buildToolImage()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString words = dir.filePath(QStringLiteral("words.txt"));
    const QString targets = dir.filePath(QStringLiteral("targets.txt"));
    const QString image = dir.filePath(QStringLiteral("image.dic"));
    writeFile(words, "ab\nabcde\nconstitutional\nconstitutionalism\nconstitutionals\nzz");
    writeFile(targets, "abcde\n");
    const ToolRun run = runTool({words, image, QStringLiteral("--targets"), targets});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.errors.isEmpty());
    const QByteArray record = QByteArrayLiteral("\x1e" "CONSTITUTIONAL");
    QCOMPARE(readFile(image), makeImage({"ab", "abcde"}) + record + record + record + makeImage({"zz"}));
}

void TestDictionary::buildToolRefusesBadInput_data()
{
    QTest::addColumn<QByteArray>("words");
    QTest::addColumn<QByteArray>("targets");
    QTest::addColumn<QString>("message");
    const QByteArray targets = "abcde\n";
    QTest::newRow("upper case") << QByteArray("ab\nAbcde\n") << targets << QStringLiteral("words.txt:2: \"Abcde\" is not");
    QTest::newRow("digit") << QByteArray("ab\nabcd3\n") << targets << QStringLiteral("words.txt:2:");
    QTest::newRow("crlf") << QByteArray("ab\r\nabcde\r\n") << targets << QStringLiteral("words.txt:1: \"ab\\x0D\"");
    QTest::newRow("one letter") << QByteArray("a\nabcde\n") << targets << QStringLiteral("words.txt:1: \"a\" is shorter");
    QTest::newRow("blank line") << QByteArray("ab\n\nabcde\n") << targets << QStringLiteral("words.txt:2: empty line");
    QTest::newRow("repeat") << QByteArray("abcde\nabcde\n") << targets << QStringLiteral("words.txt:2: \"abcde\" repeats");
    QTest::newRow("order") << QByteArray("abcde\nab\n") << targets << QStringLiteral("words.txt:2: \"ab\" is out of order");
    QTest::newRow("empty") << QByteArray() << targets << QStringLiteral("words.txt: the file is empty");
    QTest::newRow("target missing") << QByteArray("ab\nabcde\n") << QByteArray("abcde\nzzzzz\n")
                                    << QStringLiteral("targets.txt:2: \"zzzzz\" is not in the dictionary");
    QTest::newRow("target length") << QByteArray("ab\nabcde\n") << QByteArray("ab\n")
                                   << QStringLiteral("targets.txt:1: \"ab\" is shorter than 5");
}

void TestDictionary::buildToolRefusesBadInput()
{
    QFETCH(QByteArray, words);
    QFETCH(QByteArray, targets);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString wordsPath = dir.filePath(QStringLiteral("words.txt"));
    const QString targetsPath = dir.filePath(QStringLiteral("targets.txt"));
    const QString image = dir.filePath(QStringLiteral("image.dic"));
    writeFile(wordsPath, words);
    writeFile(targetsPath, targets);
    writeFile(image, "an image from an earlier run");
    const ToolRun run = runTool({wordsPath, image, QStringLiteral("--targets"), targetsPath});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.errors.startsWith(QStringLiteral("makedictionary: ")) && run.errors.contains(message),
             qPrintable(run.errors));
    QVERIFY(!QFile::exists(image));
}

QTEST_GUILESS_MAIN(TestDictionary)
#include "tst_dictionary.moc"
