#pragma once
// Checks shared by the fuzz targets.
#include "lzrw1.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

inline QByteArray fuzzInput(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Decodes input as a container of one method (the signature is put in front):
// it must be refused with ELzrw1Exception or give exactly the length its header
// states. The sanitizers watch every access on the way.
inline void fuzzDecode(const QByteArray &input, const char *signature)
{
    try {
        const QByteArray plain = Tlzrw1().decompressData(QByteArray(signature) + input);
        quint32 length = 0;
        for (int i = 3; i >= 0; --i)
            length = length << 8 | quint8(input.at(i));
        if (input.size() < 4 || quint64(plain.size()) != length)
            std::abort(); // accepted, but not what the header promised
    } catch (const ELzrw1Exception &) {
    }
}

// Codes input with one method and checks that it comes back unchanged.
inline void fuzzRoundTrip(const QByteArray &input, TCompressMode mode)
{
    Tlzrw1 c;
    c.setCompressMode(mode);
    if (c.decompressData(c.compressData(input)) != input)
        std::abort();
}
