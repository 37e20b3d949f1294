#pragma once
// Tlzrw1: the compressor the tally file is stored with. Two methods share one
// container: "WRZL" + length + LZRW1/KH blocks (Fast), "!HZL" + length + one
// LZHUF bit stream (Good). Compress/Decompress work between files; compressData
// and decompressData do the same between byte arrays in memory.
//
// Container (all integers little-endian):
//   0  4  signature "WRZL" (LZRW1/KH) or "!HZL" (LZHUF)
//   4  4  uncompressed length, unsigned 32-bit
//   8  .. LZRW1/KH: blocks of [u16 length L][L body bytes], one per 32,768-byte
//         chunk, the last chunk shorter (possibly empty);
//         LZHUF: the coded bit stream, no blocks.
#include <QByteArray>
#include <QString>
#include <stdexcept>

class ELzrw1Exception : public std::runtime_error
{
public:
    explicit ELzrw1Exception(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

// The engines' own failures: only lack of memory for their tables.
class ELzrw1KHCompressor : public ELzrw1Exception
{
public:
    using ELzrw1Exception::ELzrw1Exception;
};

class ElzhException : public ELzrw1Exception
{
public:
    using ELzrw1Exception::ELzrw1Exception;
};

enum class TCompressMode { Good, Fast, Auto };

class Tlzrw1
{
public:
    // Properties.
    QString InputFile() const { return m_inputFile; }
    void setInputFile(const QString &path) { m_inputFile = path; }
    QString OutputFile() const { return m_outputFile; }
    void setOutputFile(const QString &path) { m_outputFile = path; }
    // Method used by Compress: Good = LZHUF, Fast = LZRW1/KH, Auto = what Advise says.
    TCompressMode CompressMode() const { return m_mode; }
    void setCompressMode(TCompressMode mode) { m_mode = mode; }
    // Used only by Advise: the least saving, in percent, that LZRW1/KH must reach
    // on the sample for Fast to be advised.
    int Threshold() const { return m_threshold; }
    void setThreshold(int percent) { m_threshold = percent; }

    // Compresses InputFile into OutputFile (created or overwritten); returns the
    // bytes written, header included.
    qint64 Compress();
    // Decompresses InputFile into OutputFile, recognising the method by the
    // signature; returns the bytes written.
    qint64 Decompress();
    // Samples InputFile and recommends Fast or Good (see lzrw1.cpp for the rule).
    TCompressMode Advise() const;

    // The same in memory. Messages name InputFile() as the data's origin (it may be
    // empty). decompressData refuses anything a file would be refused for.
    QByteArray compressData(const QByteArray &plain) const;
    QByteArray decompressData(const QByteArray &packed) const;
    TCompressMode adviseData(const QByteArray &plain) const;

    // The chunk size of the LZRW1/KH blocks.
    static constexpr int ChunkSize = 32768;

private:
    QString m_inputFile;
    QString m_outputFile;
    TCompressMode m_mode = TCompressMode::Good;
    int m_threshold = 40;
};
