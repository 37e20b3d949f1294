// Tlzrw1: the container around the two engines, between files or in memory.
// Both interfaces run the same code over a Source and a Sink, so a byte array is
// refused for exactly what a file would be refused for.
#include "lzrw1.h"
#include "lzrw1engines.h"

#include <QFile>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

constexpr char kSigFast[4] = {'W', 'R', 'Z', 'L'};
constexpr char kSigGood[4] = {'!', 'H', 'Z', 'L'};
constexpr int kHeaderSize = 8;
constexpr quint64 kMaxLength = 0xFFFFFFFFu;
// The longest body a block can have: a stored full chunk.
constexpr int kMaxBody = TLZR::ChunkSize + 1;

// Where the container reads from.
class Source
{
public:
    virtual ~Source() = default;
    // Up to max bytes; fewer only at the end. -1 when reading failed.
    virtual qint64 read(char *buf, qint64 max) = 0;
    // Like read, but may instead point *data at the bytes where they already are
    // (valid until the next call) and copy nothing; then at least `slack` more
    // bytes after them may be read too.
    virtual qint64 take(const char **data, char *buf, qint64 max, qint64 slack = 0)
    {
        Q_UNUSED(slack);
        *data = buf;
        return read(buf, max);
    }
};

// Where it writes to. Throws when writing fails.
class Sink
{
public:
    virtual ~Sink() = default;
    virtual void write(const char *buf, qint64 n) = 0;
    // Room for one expanded chunk (TLZR::ExpandBufferSize bytes), valid until
    // commit(n) writes its first n bytes.
    virtual std::uint8_t *room() = 0;
    virtual void commit(int n) = 0;
    // The length the output will have, as the header says (it may lie).
    virtual void expect(quint64) {}
};

class FileSource : public Source
{
public:
    explicit FileSource(QFile &file) : m_file(file) {}
    qint64 read(char *buf, qint64 max) override
    {
        qint64 got = 0;
        while (got < max) {
            const qint64 n = m_file.read(buf + got, max - got);
            if (n < 0)
                return -1;
            if (n == 0)
                break;
            got += n;
        }
        return got;
    }

private:
    QFile &m_file;
};

class FileSink : public Sink
{
public:
    explicit FileSink(QFile &file) : m_file(file) {}
    void write(const char *buf, qint64 n) override
    {
        if (m_file.write(buf, n) != n)
            throw ELzrw1Exception(QStringLiteral("Lzrw1 : Error writing to output file : ") + m_file.fileName());
    }
    std::uint8_t *room() override
    {
        m_room.resize(TLZR::ExpandBufferSize);
        return m_room.data();
    }
    void commit(int n) override { write(reinterpret_cast<const char *>(m_room.data()), n); }

private:
    QFile &m_file;
    std::vector<std::uint8_t> m_room;
};

class MemorySource : public Source
{
public:
    explicit MemorySource(const QByteArray &data) : m_data(data) {}
    qint64 read(char *buf, qint64 max) override
    {
        const qint64 n = std::min(max, m_data.size() - m_pos);
        std::memcpy(buf, m_data.constData() + m_pos, static_cast<std::size_t>(n));
        m_pos += n;
        return n;
    }
    qint64 take(const char **data, char *buf, qint64 max, qint64 slack = 0) override
    {
        const qint64 n = std::min(max, m_data.size() - m_pos);
        *data = m_data.constData() + m_pos;
        m_pos += n;
        if (m_pos + slack > m_data.size()) {
            std::memcpy(buf, *data, static_cast<std::size_t>(n));
            *data = buf;
        }
        return n;
    }

private:
    const QByteArray &m_data;
    qint64 m_pos = 0;
};

// Appends to a byte array; chunks are expanded in place at its end.
class MemorySink : public Sink
{
public:
    explicit MemorySink(QByteArray &data) : m_data(data) {}
    void write(const char *buf, qint64 n) override
    {
        m_data.resize(m_used + n);
        std::memcpy(m_data.data() + m_used, buf, static_cast<std::size_t>(n));
        m_used += n;
    }
    std::uint8_t *room() override
    {
        m_data.resize(m_used + TLZR::ExpandBufferSize);
        return reinterpret_cast<std::uint8_t *>(m_data.data() + m_used);
    }
    void commit(int n) override { m_used += n; }
    // Reserves at once what any ordinary ratio needs; a header that promises more
    // (perhaps falsely) gets the rest as the data comes.
    void expect(quint64 length) override
    {
        m_data.reserve(qsizetype(std::min<quint64>(length + TLZR::ExpandBufferSize, m_reserveLimit)));
    }
    void setReserveLimit(quint64 limit) { m_reserveLimit = limit; }
    // Drops what is left of the last room.
    void finish() { m_data.truncate(m_used); }

private:
    QByteArray &m_data;
    qint64 m_used = 0;
    quint64 m_reserveLimit = 0;
};

ELzrw1Exception readError(const QString &input, const char *method = nullptr)
{
    QString text = QStringLiteral("Lzrw1 : Error reading from input file : ") + input;
    if (method)
        text += QLatin1String(method);
    return ELzrw1Exception(text);
}

ELzrw1Exception corruptBlock()
{
    return ELzrw1Exception(QStringLiteral("Lzrw1 (decompression LZRW1/KH) : corrupt block !"));
}

ELzrw1Exception tooLarge(const QString &input)
{
    return ELzrw1Exception(QStringLiteral("Lzrw1 compression : input larger than 4 GB : ") + input);
}

void putLe(char *p, quint64 v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

quint64 getLe(const char *p, int bytes)
{
    quint64 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}

// Reads exactly n bytes, or fails with the read message.
void readExactly(Source &in, char *buf, qint64 n, const QString &input)
{
    if (in.read(buf, n) != n)
        throw readError(input);
}

qint64 compressStream(Source &in, quint64 length, Sink &out, TCompressMode mode, const QString &input)
{
    if (length > kMaxLength)
        throw tooLarge(input);
    const bool fast = mode == TCompressMode::Fast;
    const char *method = fast ? " (LZRW1/KH)" : " (LZH)";
    char header[kHeaderSize];
    std::memcpy(header, fast ? kSigFast : kSigGood, 4);
    putLe(header + 4, length, 4);
    out.write(header, kHeaderSize);
    quint64 written = kHeaderSize;
    quint64 readTotal = 0;

    if (fast) {
        TLZR lzr;
        std::vector<char> buffer(TLZR::ChunkSize);
        static_assert(TLZR::ExpandBufferSize >= TLZR::BufferSize + 2);
        qint64 n = 0;
        do {
            const char *chunk = nullptr;
            n = in.take(&chunk, buffer.data(), TLZR::ChunkSize);
            if (n < 0)
                throw readError(input, method);
            readTotal += quint64(n);
            // The block goes straight into the output's room: length, then body.
            std::uint8_t *block = out.room();
            const int L = lzr.compress(reinterpret_cast<const std::uint8_t *>(chunk), int(n), block + 2);
            putLe(reinterpret_cast<char *>(block), quint64(L), 2);
            out.commit(L + 2);
            written += quint64(L) + 2;
        } while (n == TLZR::ChunkSize);
    } else {
        TLZH lzh;
        const TLZH::ReadFn read = [&](std::uint8_t *buf, std::size_t max) -> std::size_t {
            const qint64 n = in.read(reinterpret_cast<char *>(buf), qint64(max));
            if (n < 0)
                throw readError(input, method);
            readTotal += quint64(n);
            return std::size_t(n);
        };
        const TLZH::WriteFn write = [&](const std::uint8_t *buf, std::size_t n) {
            out.write(reinterpret_cast<const char *>(buf), qint64(n));
        };
        written += lzh.encode(read, write);
    }
    // The input changed length while it was read: the header would be wrong.
    if (readTotal != length)
        throw readError(input, method);
    return qint64(written);
}

qint64 decompressStream(Source &in, Sink &out, const QString &input)
{
    char header[kHeaderSize];
    readExactly(in, header, 4, input);
    const bool fast = std::memcmp(header, kSigFast, 4) == 0;
    if (!fast && std::memcmp(header, kSigGood, 4) != 0)
        throw ELzrw1Exception(input + QStringLiteral(" : Lzrw1 decompression : this file has no valid header !"));
    readExactly(in, header + 4, 4, input);
    const quint64 length = getLe(header + 4, 4);
    out.expect(length);

    if (fast) {
        const auto mismatch = [] {
            return ELzrw1Exception(QStringLiteral(
                "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !"));
        };
        std::vector<std::uint8_t> body(kMaxBody + TLZR::ReadSlack);
        quint64 total = 0;
        int n = 0;
        do {
            char lengthField[2];
            readExactly(in, lengthField, 2, input);
            const int L = int(getLe(lengthField, 2));
            if (L > kMaxBody)
                throw corruptBlock();
            const char *data = nullptr;
            if (in.take(&data, reinterpret_cast<char *>(body.data()), L, TLZR::ReadSlack) != L)
                throw readError(input);
            n = TLZR::expand(reinterpret_cast<const std::uint8_t *>(data), L, out.room());
            if (n < 0)
                throw corruptBlock();
            total += quint64(n);
            // More than the header promised: stop before writing it.
            if (total > length)
                throw mismatch();
            out.commit(n);
        } while (n == TLZR::ChunkSize);
        if (total != length)
            throw mismatch();
        return qint64(total);
    }

    TLZH lzh;
    const TLZH::ReadFn read = [&](std::uint8_t *buf, std::size_t max) -> std::size_t {
        const qint64 n = in.read(reinterpret_cast<char *>(buf), qint64(max));
        if (n < 0)
            throw readError(input);
        return std::size_t(n);
    };
    const TLZH::WriteFn write = [&](const std::uint8_t *buf, std::size_t n) {
        out.write(reinterpret_cast<const char *>(buf), qint64(n));
    };
    std::uint64_t written = 0;
    switch (lzh.decode(read, write, length, &written)) {
    case TLZH::Result::Ok:
        break;
    case TLZH::Result::Truncated:
        throw ELzrw1Exception(QStringLiteral("Lzrw1 (LZH decompression) : the compressed data ends too soon !"));
    case TLZH::Result::Overrun:
        throw ELzrw1Exception(QStringLiteral("Lzrw1 (LZH decompression) : Original and compressed sizes do not match !"));
    }
    return qint64(written);
}

// Advise's rule. The sample is the whole input up to one chunk, else four
// 8,192-byte pieces spread evenly from the start to the end. Each piece is coded
// with LZRW1/KH on its own.
//  - Fast when LZRW1/KH saves at least Threshold percent of the sample: the quick
//    method is good enough.
//  - Fast when the sample's byte entropy is 7.5 bits or more: the data is close to
//    random, LZHUF would gain next to nothing, and Fast stores it at speed.
//  - Good otherwise: little repetition for LZRW1/KH to find, but skewed byte
//    frequencies that LZHUF's Huffman coding turns into a saving.
// An empty input gets Fast.
constexpr int kSampleWhole = TLZR::ChunkSize;
constexpr int kSamplePieces = 4;
constexpr int kSamplePiece = 8192;
constexpr double kRandomEntropy = 7.5;

std::vector<std::pair<qint64, qint64>> sampleWindows(qint64 size)
{
    if (size <= kSampleWhole)
        return {{0, size}};
    std::vector<std::pair<qint64, qint64>> windows;
    for (int i = 0; i < kSamplePieces; ++i)
        windows.emplace_back(i * (size - kSamplePiece) / (kSamplePieces - 1), kSamplePiece);
    return windows;
}

TCompressMode adviseFrom(const std::vector<QByteArray> &pieces, int threshold)
{
    TLZR lzr;
    std::vector<std::uint8_t> body(TLZR::BufferSize);
    qint64 plain = 0;
    qint64 coded = 0;
    quint64 counts[256] = {};
    for (const QByteArray &piece : pieces) {
        const auto *p = reinterpret_cast<const std::uint8_t *>(piece.constData());
        plain += piece.size();
        coded += lzr.compress(p, int(piece.size()), body.data());
        for (qsizetype i = 0; i < piece.size(); ++i)
            ++counts[p[i]];
    }
    if (plain == 0)
        return TCompressMode::Fast;
    const qint64 savingPercent = (plain - coded) * 100 / plain;
    if (savingPercent >= threshold)
        return TCompressMode::Fast;
    double entropy = 0;
    for (quint64 c : counts) {
        if (c) {
            const double q = double(c) / double(plain);
            entropy -= q * std::log2(q);
        }
    }
    return entropy >= kRandomEntropy ? TCompressMode::Fast : TCompressMode::Good;
}

std::filesystem::path fsPath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

bool sameFile(const QString &a, const QString &b)
{
    std::error_code ec;
    return std::filesystem::equivalent(fsPath(a), fsPath(b), ec);
}

bool isRegularFile(const QString &path)
{
    std::error_code ec;
    return std::filesystem::symlink_status(fsPath(path), ec).type() == std::filesystem::file_type::regular;
}

// Runs work(sink) into OutputFile; on any failure the output is closed and
// deleted before the exception goes on. Only a regular file is deleted: an
// output that is a device, a pipe or a link (/dev/stdout) is left where it is.
template <typename Work>
qint64 intoOutputFile(const QString &inputPath, const QString &outputPath, Work work)
{
    if (sameFile(inputPath, outputPath))
        throw ELzrw1Exception(QStringLiteral("Lzrw1 (de)compression : input and output are the same file : ")
                              + outputPath);
    QFile out(outputPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw ELzrw1Exception(QStringLiteral("Lzrw1 (de)compression : Failed to open output file : ") + outputPath);
    try {
        FileSink sink(out);
        const qint64 result = work(sink);
        out.close();
        if (out.error() != QFileDevice::NoError)
            throw ELzrw1Exception(QStringLiteral("Lzrw1 : Error writing to output file : ") + outputPath);
        return result;
    } catch (...) {
        out.close();
        if (isRegularFile(outputPath))
            out.remove();
        throw;
    }
}

} // namespace

qint64 Tlzrw1::Compress()
{
    const TCompressMode mode = m_mode == TCompressMode::Auto ? Advise() : m_mode;
    QFile in(m_inputFile);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw ELzrw1Exception(QStringLiteral("Lzrw1 compression : Failed to obtain the size of : ") + m_inputFile);
    const qint64 size = in.size();
    if (quint64(size) > kMaxLength)
        throw tooLarge(m_inputFile);
    return intoOutputFile(m_inputFile, m_outputFile, [&](Sink &sink) {
        FileSource source(in);
        return compressStream(source, quint64(size), sink, mode, m_inputFile);
    });
}

qint64 Tlzrw1::Decompress()
{
    QFile in(m_inputFile);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw ELzrw1Exception(QStringLiteral("Lzrw1 (de)compression : Failed to open input file : ") + m_inputFile);
    return intoOutputFile(m_inputFile, m_outputFile, [&](Sink &sink) {
        FileSource source(in);
        return decompressStream(source, sink, m_inputFile);
    });
}

TCompressMode Tlzrw1::Advise() const
{
    QFile in(m_inputFile);
    if (!in.open(QIODevice::ReadOnly))
        throw ELzrw1Exception(QStringLiteral("Lzrw1 compression : Failed to obtain the size of : ") + m_inputFile);
    std::vector<QByteArray> pieces;
    for (const auto &[offset, length] : sampleWindows(in.size())) {
        QByteArray piece(length, Qt::Uninitialized);
        if (!in.seek(offset) || FileSource(in).read(piece.data(), length) != length)
            throw readError(m_inputFile);
        pieces.push_back(piece);
    }
    return adviseFrom(pieces, m_threshold);
}

QByteArray Tlzrw1::compressData(const QByteArray &plain) const
{
    const TCompressMode mode = m_mode == TCompressMode::Auto ? adviseData(plain) : m_mode;
    QByteArray packed;
    // Enough for the LZRW1/KH worst case: the input stored, 3 bytes per chunk and
    // the header.
    packed.reserve(plain.size() + plain.size() / 8192 + 64);
    MemorySource source(plain);
    MemorySink sink(packed);
    compressStream(source, quint64(plain.size()), sink, mode, m_inputFile);
    sink.finish();
    return packed;
}

QByteArray Tlzrw1::decompressData(const QByteArray &packed) const
{
    QByteArray plain;
    MemorySource source(packed);
    MemorySink sink(plain);
    sink.setReserveLimit(quint64(packed.size()) * 8 + 65536);
    decompressStream(source, sink, m_inputFile);
    sink.finish();
    return plain;
}

TCompressMode Tlzrw1::adviseData(const QByteArray &plain) const
{
    std::vector<QByteArray> pieces;
    for (const auto &[offset, length] : sampleWindows(plain.size()))
        pieces.push_back(QByteArray::fromRawData(plain.constData() + offset, length));
    return adviseFrom(pieces, m_threshold);
}
