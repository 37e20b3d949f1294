#include "tst_lzrw1files.h"

#include "lzrw1.h"
#include "testdata.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

using namespace testdata;

namespace {

void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(data), data.size());
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs what `work` does and returns the exception's message ("" when none).
template <typename Work>
QString failureOf(Work work)
{
    try {
        work();
    } catch (const ELzrw1Exception &e) {
        return e.message();
    }
    return {};
}

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run tool(const QStringList &args, const QString &workDir = {})
{
    QProcess p;
    p.setWorkingDirectory(workDir);
    p.start(QStringLiteral(VEXLO_LZRW1_BIN), args);
    Run r;
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

} // namespace

QString TestLzrw1Files::path(const char *name) const
{
    return m_dir.filePath(QLatin1String(name));
}

void TestLzrw1Files::init()
{
    QVERIFY(m_dir.isValid());
    // Every test starts with an empty folder.
    QDir dir(m_dir.path());
    for (const QString &f : dir.entryList(QDir::Files | QDir::System))
        QVERIFY(dir.remove(f));
}

void TestLzrw1Files::compressAndDecompress()
{
    const QByteArray plain = words(100000, 20) + randomBytes(5000, 21);
    writeFile(path("plain.txt"), plain);

    Tlzrw1 c;
    QCOMPARE(c.CompressMode(), TCompressMode::Good);
    for (TCompressMode mode : {TCompressMode::Fast, TCompressMode::Good}) {
        c.setCompressMode(mode);
        c.setInputFile(path("plain.txt"));
        c.setOutputFile(path("tally.tld"));
        const qint64 packedSize = c.Compress();
        const QByteArray packed = readFile(path("tally.tld"));
        QCOMPARE(packedSize, packed.size());
        QVERIFY(packed.size() < plain.size() * 8 / 10);
        QCOMPARE(packed, c.compressData(plain)); // the same bytes as in memory

        c.setInputFile(path("tally.tld"));
        c.setOutputFile(path("back.txt"));
        QCOMPARE(c.Decompress(), plain.size());
        QCOMPARE(readFile(path("back.txt")), plain);
    }
    QCOMPARE(readFile(path("plain.txt")), plain);

    // An output that exists is overwritten.
    writeFile(path("back.txt"), QByteArray(300000, 'o'));
    c.setInputFile(path("tally.tld"));
    c.Decompress();
    QCOMPARE(readFile(path("back.txt")), plain);
}

void TestLzrw1Files::autoModeFollowsAdvise()
{
    Tlzrw1 c;
    c.setCompressMode(TCompressMode::Auto);
    c.setInputFile(path("in"));
    c.setOutputFile(path("out"));
    writeFile(path("in"), skewed(60000, 22));
    QCOMPARE(c.Advise(), TCompressMode::Good);
    c.Compress();
    QCOMPARE(readFile(path("out")).left(4), QByteArray("!HZL"));
    writeFile(path("in"), randomBytes(60000, 23));
    QCOMPARE(c.Advise(), TCompressMode::Fast);
    c.Compress();
    QCOMPARE(readFile(path("out")).left(4), QByteArray("WRZL"));
}

void TestLzrw1Files::failuresLeaveNoOutput_data()
{
    QTest::addColumn<QByteArray>("packed");
    QTest::addColumn<QString>("message");
    Tlzrw1 c;
    const QByteArray good = c.compressData(words(50000, 24));
    c.setCompressMode(TCompressMode::Fast);
    const QByteArray fast = c.compressData(words(50000, 24));
    QTest::newRow("bad signature") << QByteArray("LZRW" + fast.mid(4))
                                   << path("bad.tld") + QStringLiteral(" : Lzrw1 decompression : this file has no valid header !");
    QTest::newRow("cut inside a block") << fast.left(fast.size() / 2)
                                        << QStringLiteral("Lzrw1 : Error reading from input file : ") + path("bad.tld");
    QTest::newRow("corrupt block")
        << QByteArray(fastHeader(6) + block(bytes({0x40, 0x80, 0x00, 0x00, 0x13})))
        << QStringLiteral("Lzrw1 (decompression LZRW1/KH) : corrupt block !");
    QTest::newRow("LZH cut") << good.left(good.size() / 2)
                             << QStringLiteral("Lzrw1 (LZH decompression) : the compressed data ends too soon !");
}

void TestLzrw1Files::failuresLeaveNoOutput()
{
    QFETCH(QByteArray, packed);
    QFETCH(QString, message);
    writeFile(path("bad.tld"), packed);
    writeFile(path("out.txt"), "an older file");
    Tlzrw1 c;
    c.setInputFile(path("bad.tld"));
    c.setOutputFile(path("out.txt"));
    QCOMPARE(failureOf([&] { c.Decompress(); }), message);
    QVERIFY(!QFileInfo::exists(path("out.txt")));
    QCOMPARE(readFile(path("bad.tld")), packed);
}

void TestLzrw1Files::missingOrUnwritableFiles()
{
    Tlzrw1 c;
    c.setInputFile(path("missing"));
    c.setOutputFile(path("out"));
    QCOMPARE(failureOf([&] { c.Compress(); }),
             QStringLiteral("Lzrw1 compression : Failed to obtain the size of : ") + path("missing"));
    QCOMPARE(failureOf([&] { c.Decompress(); }),
             QStringLiteral("Lzrw1 (de)compression : Failed to open input file : ") + path("missing"));
    QVERIFY(!QFileInfo::exists(path("out")));

    writeFile(path("in"), "abc");
    c.setInputFile(path("in"));
    c.setOutputFile(path("no/such/folder/out"));
    QCOMPARE(failureOf([&] { c.Compress(); }),
             QStringLiteral("Lzrw1 (de)compression : Failed to open output file : ") + path("no/such/folder/out"));

    // A folder cannot be read as an input.
    c.setInputFile(m_dir.path());
    c.setOutputFile(path("out"));
    c.setCompressMode(TCompressMode::Fast);
    QVERIFY(!failureOf([&] { c.Compress(); }).isEmpty());
    QVERIFY(!QFileInfo::exists(path("out")));
}

void TestLzrw1Files::outputIsInput()
{
    // Creating the output would empty the input: refused before anything is written.
    const QByteArray plain = words(5000, 25);
    writeFile(path("same"), plain);
    QVERIFY(QFile::link(path("same"), path("link")));
    Tlzrw1 c;
    c.setInputFile(path("same"));
    for (const char *out : {"same", "link"}) {
        c.setOutputFile(path(out));
        QCOMPARE(failureOf([&] { c.Compress(); }),
                 QStringLiteral("Lzrw1 (de)compression : input and output are the same file : ") + path(out));
    }
    QCOMPARE(readFile(path("same")), plain);
}

void TestLzrw1Files::writeFailure()
{
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full");
    writeFile(path("in"), words(5000, 26));
    Tlzrw1 c;
    c.setInputFile(path("in"));
    c.setOutputFile(QStringLiteral("/dev/full"));
    QCOMPARE(failureOf([&] { c.Compress(); }),
             QStringLiteral("Lzrw1 : Error writing to output file : /dev/full"));
    // Not a file of ours: left where it is.
    QVERIFY(QFileInfo::exists(QStringLiteral("/dev/full")));
}

void TestLzrw1Files::toolRoundTrip()
{
    const QByteArray plain = words(70000, 27);
    writeFile(path("plain"), plain);
    const bool autoIsGood = Tlzrw1().adviseData(plain) == TCompressMode::Good;
    for (const char *mode : {"", "fast", "good", "auto"}) {
        QStringList args{QStringLiteral("compress")};
        if (*mode)
            args << QStringLiteral("--mode") << QLatin1String(mode);
        Run r = tool(args << path("plain") << path("packed"));
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.err.isEmpty());
        const QByteArray signature = readFile(path("packed")).left(4);
        const bool good = qstrcmp(mode, "good") == 0 || (qstrcmp(mode, "auto") == 0 && autoIsGood);
        QCOMPARE(signature, QByteArray(good ? "!HZL" : "WRZL"));
        r = tool({QStringLiteral("decompress"), path("packed"), path("back")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(readFile(path("back")), plain);
    }
}

void TestLzrw1Files::toolFailures()
{
    writeFile(path("bad"), "WRZL\x05\0\0\0");
    Run r = tool({QStringLiteral("decompress"), path("bad"), path("out")});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.err.trimmed(), QStringLiteral("Lzrw1 : Error reading from input file : %1").arg(path("bad")).toLocal8Bit());
    QVERIFY(!QFileInfo::exists(path("out")));

    r = tool({QStringLiteral("compress"), path("missing"), path("out")});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.err.contains("Failed to obtain the size of"));
    QVERIFY(!QFileInfo::exists(path("out")));
}

void TestLzrw1Files::toolCommandLine()
{
    Run r = tool({QStringLiteral("--help")});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.contains("vexlo-lzrw1 compress [--mode fast|good|auto] IN OUT"));

    writeFile(path("in"), "abc");
    const QList<QStringList> bad = {
        {},
        {QStringLiteral("pack"), path("in"), path("out")},
        {QStringLiteral("compress"), path("in")},
        {QStringLiteral("compress"), path("in"), path("out"), path("more")},
        {QStringLiteral("compress"), QStringLiteral("--mode"), QStringLiteral("best"), path("in"), path("out")},
        {QStringLiteral("compress"), path("in"), path("out"), QStringLiteral("--mode")},
        {QStringLiteral("decompress"), QStringLiteral("--mode"), QStringLiteral("fast"), path("in"), path("out")},
    };
    for (const QStringList &args : bad) {
        r = tool(args);
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("Usage:"));
        QVERIFY(!QFileInfo::exists(path("out")));
    }
    // "--" ends the options: a file may start with a dash.
    writeFile(path("-in"), "abc");
    r = tool({QStringLiteral("compress"), QStringLiteral("--"), QStringLiteral("-in"), QStringLiteral("out")},
             m_dir.path());
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(readFile(path("out")).left(4), QByteArray("WRZL"));
}
