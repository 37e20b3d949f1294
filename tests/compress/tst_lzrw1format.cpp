#include "tst_lzrw1format.h"

#include "lzrw1.h"
#include "referencecoder.h"
#include "testdata.h"

#include <QTest>

using namespace testdata;

namespace {

QByteArray pack(const QByteArray &plain, TCompressMode mode)
{
    Tlzrw1 c;
    c.setCompressMode(mode);
    return c.compressData(plain);
}

QByteArray unpack(const QByteArray &packed)
{
    Tlzrw1 c;
    return c.decompressData(packed);
}

// The block bodies of a "WRZL" container, checking that the blocks fill it exactly.
QList<QByteArray> bodies(const QByteArray &packed)
{
    QList<QByteArray> result;
    qsizetype at = 8;
    while (at < packed.size()) {
        const int length = quint8(packed[at]) | quint8(packed[at + 1]) << 8;
        result << packed.mid(at + 2, length);
        at += 2 + length;
    }
    return at == packed.size() ? result : QList<QByteArray>();
}

QByteArray repeated(char c, int n)
{
    return QByteArray(n, c);
}

} // namespace

void TestLzrw1Format::emptyInput()
{
    const QByteArray fast = pack({}, TCompressMode::Fast);
    QCOMPARE(fast, fastHeader(0) + bytes({0x01, 0x00, 0x80}));
    QCOMPARE(fast.size(), 11);
    QCOMPARE(pack({}, TCompressMode::Good), goodHeader(0));
    QVERIFY(unpack(fast).isEmpty());
    QVERIFY(unpack(goodHeader(0)).isEmpty());
}

void TestLzrw1Format::handWorkedContainers_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("one byte, stored") << QByteArray("A") << bytes({0x80, 'A'});
    QTest::newRow("two bytes, stored") << QByteArray("ab") << bytes({0x80, 'a', 'b'});
    QTest::newRow("three bytes, coded would be longer")
        << QByteArray("aaa") << bytes({0x80, 'a', 'a', 'a'});
    // Three literals and a copy of 5 from 3 back: the body is exactly as long as
    // the chunk and is kept; one byte less and it is stored.
    QTest::newRow("coded body as long as the chunk")
        << QByteArray("abcabcab") << bytes({0x40, 0x10, 0x00, 'a', 'b', 'c', 0x00, 0x32});
    QTest::newRow("coded body one longer than the chunk")
        << QByteArray("abcabca") << bytes({0x80, 'a', 'b', 'c', 'a', 'b', 'c', 'a'});
    QTest::newRow("copy of 9") << QByteArray("abcabcabcabc")
                               << bytes({0x40, 0x10, 0x00, 'a', 'b', 'c', 0x00, 0x36});
    QTest::newRow("20 equal bytes: one run item")
        << repeated('b', 20) << bytes({0x40, 0x80, 0x00, 0x00, 0x00, 0x04, 'b'});
    QTest::newRow("16 equal bytes: the shortest run")
        << repeated('a', 16) << bytes({0x40, 0x80, 0x00, 0x00, 0x00, 0x00, 'a'});
    // 15 are too few for a run: a literal, then a copy of 14 from 1 back that
    // overlaps the bytes it writes.
    QTest::newRow("15 equal bytes: literal and overlapping copy")
        << repeated('a', 15) << bytes({0x40, 0x40, 0x00, 'a', 0x00, 0x1B});
    // 4095 + 4095 + 1810 = 10000.
    QTest::newRow("run longer than 4095 is split")
        << repeated('x', 10000)
        << bytes({0x40, 0xE0, 0x00, 0x00, 0x0F, 0xEF, 'x', 0x00, 0x0F, 0xEF, 'x', 0x00, 0x07, 0x02, 'x'});
    // Sixteen literals fill the first group (control 0x0000); the second control
    // word stands before the 17th item: a literal and a copy of 17 from 17 back.
    const QByteArray letters("abcdefghijklmnopq");
    QTest::newRow("second control word")
        << letters + letters
        << QByteArray(bytes({0x40, 0x00, 0x00}) + letters.left(16) + bytes({0x40, 0x00, 'q', 0x01, 0x1E}));
}

void TestLzrw1Format::handWorkedContainers()
{
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, body);
    const QByteArray packed = pack(plain, TCompressMode::Fast);
    QCOMPARE(packed, fastHeader(quint32(plain.size())) + block(body));
    QCOMPARE(unpack(packed), plain);
}

void TestLzrw1Format::chunkBoundaries()
{
    // Exactly one chunk: a second, empty block follows.
    const QByteArray full = words(32768, 1);
    QList<QByteArray> b = bodies(pack(full, TCompressMode::Fast));
    QCOMPARE(b.size(), 2);
    QCOMPARE(b[0].at(0), char(0x40));
    QCOMPARE(b[1], bytes({0x80}));

    // Two bytes more: the last chunk of 2 is stored.
    const QByteArray over = full + "zz";
    b = bodies(pack(over, TCompressMode::Fast));
    QCOMPARE(b.size(), 2);
    QCOMPARE(b[1], bytes({0x80, 'z', 'z'}));
    QCOMPARE(unpack(pack(over, TCompressMode::Fast)), over);

    // Chunks are coded on their own: the second chunk of two equal halves is
    // coded exactly like the first.
    const QByteArray twice = full + full + "end";
    b = bodies(pack(twice, TCompressMode::Fast));
    QCOMPARE(b.size(), 3);
    QCOMPARE(b[1], b[0]);
}

void TestLzrw1Format::sameBlocksAsPlainCoder()
{
    // The engine's coder against the plain one, chunk by chunk, on inputs that
    // reach every case: runs of every length around 16 and 4095, copies of 3 to
    // 18 at distances around 4095, chunk ends in the middle of matches, and chunks
    // whose coded form ends just either side of the stored length.
    QList<QByteArray> inputs = {words(100000, 30), skewed(70000, 31), randomBytes(40000, 32)};
    std::mt19937 gen(33);
    QByteArray mixed;
    while (mixed.size() < 120000) {
        switch (gen() % 4) {
        case 0: mixed += QByteArray(int(gen() % 40) + (gen() % 8 == 0 ? 4080 : 1), char(gen() % 3)); break;
        case 1: mixed += mixed.right(int(gen() % 30) + 1).left(int(gen() % 20) + 1); break;
        case 2: mixed += mixed.mid(qMax<qsizetype>(0, mixed.size() - 4095 - int(gen() % 8)), int(gen() % 20)); break;
        default: mixed += randomBytes(int(gen() % 24), unsigned(gen())); break;
        }
    }
    inputs << mixed;
    for (int n = 3; n < 60; ++n)
        inputs << words(n, unsigned(n)) << skewed(n, unsigned(n));

    for (const QByteArray &input : inputs) {
        const QList<QByteArray> b = bodies(pack(input, TCompressMode::Fast));
        QCOMPARE(b.size(), int(input.size() / 32768) + 1);
        for (int i = 0; i < b.size(); ++i)
            QCOMPARE(b[i], reference::codeChunk(input.mid(qsizetype(i) * 32768, 32768)));
    }
}

void TestLzrw1Format::incompressibleDataIsStored()
{
    const QByteArray plain = randomBytes(70000, 2);
    const QByteArray packed = pack(plain, TCompressMode::Fast);
    const QList<QByteArray> b = bodies(packed);
    QCOMPARE(b.size(), 3);
    QCOMPARE(b[0], bytes({0x80}) + plain.left(32768));
    QCOMPARE(b[1], bytes({0x80}) + plain.mid(32768, 32768));
    QCOMPARE(b[2], bytes({0x80}) + plain.mid(65536));
    QCOMPARE(packed.size(), 8 + 3 * 3 + 70000);
}

void TestLzrw1Format::knownLzhufStreams_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("stream");
    QTest::newRow("one byte") << QByteArray("A") << bytes({0xE6, 0x80});
    QTest::newRow("repeat from 3 back") << QByteArray("abcabcabcabc")
                                        << bytes({0xF6, 0xFB, 0xBD, 0xF2, 0x40, 0x20});
    QTest::newRow("100 zeros") << QByteArray(100, '\0') << bytes({0xC6, 0x63, 0x00, 0x16, 0x00, 0x00});
}

void TestLzrw1Format::knownLzhufStreams()
{
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, stream);
    const QByteArray packed = goodHeader(quint32(plain.size())) + stream;
    QCOMPARE(pack(plain, TCompressMode::Good), packed);
    QCOMPARE(unpack(packed), plain);
}

void TestLzrw1Format::roundTrips_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::newRow("3 bytes") << QByteArray("xyz");
    QTest::newRow("all byte values") << [] {
        QByteArray b;
        for (int i = 0; i < 256 * 3; ++i)
            b += char(i * 7);
        return b;
    }();
    QTest::newRow("text 32767") << words(32767, 3);
    QTest::newRow("text 32769") << words(32769, 4);
    QTest::newRow("text 150k") << words(150000, 5);
    QTest::newRow("random 70k") << randomBytes(70000, 6);
    QTest::newRow("skewed 50k") << skewed(50000, 7);
    QTest::newRow("zeros 100k") << QByteArray(100000, '\0');
    QTest::newRow("runs and text") << [] {
        QByteArray b;
        for (int i = 0; i < 40; ++i)
            b += words(700 + i * 37, unsigned(i)) + QByteArray(i * 211, char(i));
        return b;
    }();
    QTest::newRow("binary records") << [] {
        QByteArray b;
        for (quint32 i = 0; i < 20000; ++i) {
            const quint32 v = i * i;
            b += QByteArray(reinterpret_cast<const char *>(&i), 4) + QByteArray(reinterpret_cast<const char *>(&v), 4);
        }
        return b;
    }();
}

void TestLzrw1Format::roundTrips()
{
    QFETCH(QByteArray, plain);
    for (TCompressMode mode : {TCompressMode::Fast, TCompressMode::Good}) {
        const QByteArray packed = pack(plain, mode);
        QCOMPARE(packed.left(4), QByteArray(mode == TCompressMode::Fast ? "WRZL" : "!HZL"));
        QCOMPARE(unpack(packed), plain);
    }
}

void TestLzrw1Format::fullChunkFromItemsIsAccepted()
{
    // Eight runs of 4095 and a copy of 8 make exactly 32,768 bytes; an empty block
    // ends the container.
    QByteArray body = bytes({0x40, 0xFF, 0x80});
    for (int i = 0; i < 8; ++i)
        body += bytes({0x00, 0x0F, 0xEF, 'r'});
    body += bytes({0x00, 0x15});
    const QByteArray packed = fastHeader(32768) + block(body) + block(bytes({0x80}));
    QCOMPARE(unpack(packed), QByteArray(32768, 'r'));
}

void TestLzrw1Format::refusesBadInput_data()
{
    QTest::addColumn<QByteArray>("packed");
    QTest::addColumn<QString>("message");

    const QString corrupt = QStringLiteral("Lzrw1 (decompression LZRW1/KH) : corrupt block !");
    const QString readError = QStringLiteral("Lzrw1 : Error reading from input file : tally.tld");
    const QString fastMismatch =
        QStringLiteral("Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !");
    const QString goodMismatch =
        QStringLiteral("Lzrw1 (LZH decompression) : Original and compressed sizes do not match !");
    const QString goodShort = QStringLiteral("Lzrw1 (LZH decompression) : the compressed data ends too soon !");

    QTest::newRow("other signature")
        << QByteArray("WRZX" + fastHeader(0).mid(4) + block(bytes({0x80})))
        << QStringLiteral("tally.tld : Lzrw1 decompression : this file has no valid header !");
    QTest::newRow("shorter than a signature") << QByteArray("WR") << readError;
    QTest::newRow("cut inside the length") << QByteArray("WRZL\x01") << readError;
    QTest::newRow("cut at the block length") << QByteArray(fastHeader(3) + bytes({0x04})) << readError;
    const QByteArray abc = fastHeader(3) + block(QByteArray("\x80" "abc"));
    QTest::newRow("cut inside a block") << abc.left(abc.size() - 1) << readError;
    QTest::newRow("no block after a full chunk")
        << QByteArray(fastHeader(32768) + block(bytes({0x80}) + QByteArray(32768, 'f'))) << readError;
    QTest::newRow("length above the blocks") << QByteArray(fastHeader(4) + block(QByteArray("\x80" "abc")))
                                             << fastMismatch;
    QTest::newRow("length below the blocks") << QByteArray(fastHeader(2) + block(QByteArray("\x80" "abc")))
                                             << fastMismatch;

    // Coded blocks whose items do not fit.
    QTest::newRow("copy from before the chunk")
        << QByteArray(fastHeader(6) + block(bytes({0x40, 0x80, 0x00, 0x00, 0x13})))
        << corrupt;
    QTest::newRow("copy from further back than written")
        << QByteArray(fastHeader(5) + block(bytes({0x40, 0x20, 0x00, 'a', 'b', 0x00, 0x30}))) << corrupt;
    QByteArray nineRuns = bytes({0x40, 0xFF, 0x80});
    for (int i = 0; i < 9; ++i)
        nineRuns += bytes({0x00, 0x0F, 0xEF, 'r'});
    QTest::newRow("runs past 32768") << QByteArray(fastHeader(9 * 4095) + block(nineRuns)) << corrupt;
    QByteArray eightRunsCopyLiteral = bytes({0x40, 0xFF, 0x80});
    for (int i = 0; i < 8; ++i)
        eightRunsCopyLiteral += bytes({0x00, 0x0F, 0xEF, 'r'});
    eightRunsCopyLiteral += bytes({0x00, 0x15, 'x'});
    QTest::newRow("literal past 32768") << QByteArray(fastHeader(32769) + block(eightRunsCopyLiteral)) << corrupt;
    QTest::newRow("copy cut by the body's end")
        << QByteArray(fastHeader(3) + block(bytes({0x40, 0x80, 0x00, 0x00}))) << corrupt;
    QTest::newRow("run cut by the body's end")
        << QByteArray(fastHeader(30) + block(bytes({0x40, 0x80, 0x00, 0x00, 0x00, 0x05}))) << corrupt;
    QTest::newRow("control word without items")
        << QByteArray(fastHeader(16) + block(bytes({0x40, 0x00, 0x00}) + QByteArray(16, 'l') + bytes({0, 0})))
        << corrupt;
    QTest::newRow("block longer than a stored chunk")
        << QByteArray(fastHeader(32769) + block(bytes({0x80}) + QByteArray(32769, 's'))) << corrupt;

    // LZHUF streams.
    QTest::newRow("LZH stream cut") << QByteArray(goodHeader(12) + bytes({0xF6, 0xFB, 0xBD})) << goodShort;
    QTest::newRow("LZH without a stream") << goodHeader(1) << goodShort;
    QTest::newRow("LZH length beyond the stream") << QByteArray(goodHeader(0xFFFFFFFF) + bytes({0xE6, 0x80}))
                                                  << goodShort;
    QTest::newRow("LZH last match past the length")
        << QByteArray(goodHeader(5) + bytes({0xF6, 0xFB, 0xBD, 0xF2, 0x40, 0x20})) << goodMismatch;
}

void TestLzrw1Format::refusesBadInput()
{
    QFETCH(QByteArray, packed);
    QFETCH(QString, message);
    Tlzrw1 c;
    c.setInputFile(QStringLiteral("tally.tld"));
    try {
        c.decompressData(packed);
        QFAIL("no exception");
    } catch (const ELzrw1Exception &e) {
        QCOMPARE(e.message(), message);
    }
}

void TestLzrw1Format::damagedContainersNeverCrash()
{
    // Damaged copies of good containers are refused or give some bytes, never more
    // than their header promises; the sanitizers watch every access.
    const QByteArray plain = words(33000, 8) + QByteArray(5000, 'q') + randomBytes(3000, 9);
    const QByteArray containers[] = {pack(plain, TCompressMode::Fast), pack(plain.left(8000), TCompressMode::Good)};
    std::mt19937 gen(10);
    int refused = 0;
    for (int round = 0; round < 300; ++round) {
        QByteArray damaged = containers[round % 2];
        const int hits = 1 + int(gen() % 4);
        for (int k = 0; k < hits; ++k)
            damaged[8 + qsizetype(gen() % quint32(damaged.size() - 8))] = char(gen());
        if (gen() % 4 == 0)
            damaged.truncate(8 + qsizetype(gen() % quint32(damaged.size() - 8)));
        try {
            QCOMPARE(unpack(damaged).size(), round % 2 ? 8000 : plain.size());
        } catch (const ELzrw1Exception &) {
            ++refused;
        }
    }
    QVERIFY(refused > 0);
}

void TestLzrw1Format::advise()
{
    Tlzrw1 c;
    QCOMPARE(c.Threshold(), 40);
    QCOMPARE(c.adviseData({}), TCompressMode::Fast);
    // LZRW1/KH saves far more than 40 percent.
    QCOMPARE(c.adviseData(QByteArray(100000, 'a')), TCompressMode::Fast);
    // Close to random: neither method gains, Fast stores it at speed.
    QCOMPARE(c.adviseData(randomBytes(100000, 11)), TCompressMode::Fast);
    // LZRW1/KH saves about 30 percent, Huffman coding much more.
    const QByteArray skew = skewed(100000, 12);
    QCOMPARE(c.adviseData(skew), TCompressMode::Good);
    c.setThreshold(25);
    QCOMPARE(c.adviseData(skew), TCompressMode::Fast);

    // The sample spans the whole input: a random first chunk does not decide.
    c.setThreshold(40);
    QCOMPARE(c.adviseData(randomBytes(40000, 13) + skewed(400000, 14)), TCompressMode::Good);

    // Auto compresses with what Advise says.
    c.setCompressMode(TCompressMode::Auto);
    QCOMPARE(c.compressData(skew).left(4), QByteArray("!HZL"));
    QCOMPARE(c.compressData(QByteArray(5000, 'a')).left(4), QByteArray("WRZL"));
}
