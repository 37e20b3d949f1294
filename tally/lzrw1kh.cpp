// LZRW1/KH: LZRW1 with Kurt Haenen's run items. Every chunk is coded on its own
// with a fresh 4,096-entry hash table.
//
// Coded body: 0x40, then groups of up to 16 items, each group preceded by a
// big-endian control word whose bits (most significant first) say literal (0)
// or copy/run (1). Items:
//   literal  1 byte   the byte
//   copy     2 bytes  big-endian (distance << 4) + (length - 3), distance 1-4095, length 3-18
//   run      4 bytes  0x00, big-endian (count - 16), the byte; count 16-4095
// A copy's top 12 bits are never 0, a run's always are.
// Stored body: 0x80 followed by the chunk as it is.
#include "lzrw1engines.h"
#include "lzrw1.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr int kHashSize = 4096;
constexpr int kMaxRun = 4095;
constexpr int kMinRun = 16;
constexpr int kMaxCopy = 18;
constexpr int kMinCopy = 3;
constexpr int kMaxDistance = 4095;
constexpr std::uint8_t kCoded = 0x40;
constexpr std::uint8_t kStored = 0x80;

int store(const std::uint8_t *src, int n, std::uint8_t *body)
{
    body[0] = kStored;
    if (n > 0)
        std::memcpy(body + 1, src, static_cast<std::size_t>(n));
    return n + 1;
}

inline unsigned hashOf(const std::uint8_t *p)
{
    // 32-bit arithmetic; only bits 4-15 of the product are kept.
    std::uint32_t h = ((static_cast<std::uint32_t>(p[0]) << 4) ^ p[1]) << 4 ^ p[2];
    return ((h * 40543u) >> 4) & 0xFFFu;
}

} // namespace

TLZR::TLZR() : m_hash(new (std::nothrow) std::int16_t[kHashSize])
{
    if (!m_hash)
        throw ELzrw1KHCompressor(QStringLiteral("LZRW1KH : no memory for HASH table"));
}

TLZR::~TLZR()
{
    delete[] m_hash;
}

int TLZR::compress(const std::uint8_t *src, int n, std::uint8_t *body)
{
    if (n < 3)
        return store(src, n, body);
    std::fill(m_hash, m_hash + kHashSize, static_cast<std::int16_t>(-1));

    body[0] = kCoded;
    int controlSlot = 1;
    int y = 3;
    int x = 0;
    int items = 0;
    unsigned control = 0;
    // Stop as soon as the body is as long as the chunk: storing is then no worse.
    while (x < n && y <= n) {
        if (items == 16) {
            body[controlSlot] = static_cast<std::uint8_t>(control >> 8);
            body[controlSlot + 1] = static_cast<std::uint8_t>(control);
            controlSlot = y;
            y += 2;
            items = 0;
        }
        const std::uint8_t c = src[x];
        const int runLimit = std::min(n - x, kMaxRun);
        int run = 1;
        while (run < runLimit && src[x + run] == c)
            ++run;
        if (run >= kMinRun) {
            const int v = run - kMinRun;
            body[y] = 0;
            body[y + 1] = static_cast<std::uint8_t>(v >> 8);
            body[y + 2] = static_cast<std::uint8_t>(v);
            body[y + 3] = c;
            y += 4;
            x += run;
            control = (control << 1) | 1u;
        } else {
            int length = 0;
            int candidate = -1;
            // The last two positions of a chunk can never start a copy; the hash is
            // not needed there.
            if (n - x >= kMinCopy) {
                const unsigned h = hashOf(src + x);
                candidate = m_hash[h];
                m_hash[h] = static_cast<std::int16_t>(x);
                if (candidate != -1 && x - candidate <= kMaxDistance) {
                    const int limit = std::min(kMaxCopy, n - x);
                    const std::uint8_t *a = src + candidate;
                    const std::uint8_t *b = src + x;
                    while (length < limit && a[length] == b[length])
                        ++length;
                }
            }
            if (length >= kMinCopy) {
                const unsigned v = static_cast<unsigned>((x - candidate) << 4) + unsigned(length - kMinCopy);
                body[y] = static_cast<std::uint8_t>(v >> 8);
                body[y + 1] = static_cast<std::uint8_t>(v);
                y += 2;
                x += length;
                control = (control << 1) | 1u;
            } else {
                body[y++] = c;
                ++x;
                control <<= 1;
            }
        }
        ++items;
    }
    control <<= (16 - items);
    body[controlSlot] = static_cast<std::uint8_t>(control >> 8);
    body[controlSlot + 1] = static_cast<std::uint8_t>(control);

    if (y > n)
        return store(src, n, body);
    return y;
}

int TLZR::expand(const std::uint8_t *body, int L, std::uint8_t *chunk)
{
    if (L < 2)
        return 0;
    if (body[0] == kStored) {
        const int n = L - 1;
        if (n > ChunkSize)
            return -1;
        std::memcpy(chunk, body + 1, static_cast<std::size_t>(n));
        return n;
    }
    if (L < 3)
        return 0; // a coded body without items

    unsigned control = unsigned(body[1]) << 8 | body[2];
    int bits = 16;
    int x = 3;
    int y = 0;
    while (x < L) {
        if (bits == 0) {
            // A control word is always followed by at least one item.
            if (L - x < 3)
                return -1;
            control = unsigned(body[x]) << 8 | body[x + 1];
            x += 2;
            bits = 16;
        }
        if ((control & 0x8000u) == 0) {
            if (y >= ChunkSize)
                return -1;
            chunk[y++] = body[x++];
        } else {
            if (L - x < 2)
                return -1;
            const unsigned v = unsigned(body[x]) << 8 | body[x + 1];
            if (v >> 4) {
                const int distance = int(v >> 4);
                const int length = int(v & 0x0F) + kMinCopy;
                if (distance > y || length > ChunkSize - y)
                    return -1;
                std::uint8_t *to = chunk + y;
                const std::uint8_t *from = to - distance;
                if (distance >= 16) {
                    // No overlap within a 16-byte step: copy whole words. The
                    // second step may write past the item into the slack.
                    std::memcpy(to, from, 16);
                    if (length > 16)
                        std::memcpy(to + 16, from + 16, 2);
                } else {
                    for (int i = 0; i < length; ++i)
                        to[i] = from[i];
                }
                y += length;
                x += 2;
            } else {
                if (L - x < 4)
                    return -1;
                const int count = int(unsigned(body[x + 1]) << 8 | body[x + 2]) + kMinRun;
                if (count > ChunkSize - y)
                    return -1;
                std::memset(chunk + y, body[x + 3], static_cast<std::size_t>(count));
                y += count;
                x += 4;
            }
        }
        control <<= 1;
        --bits;
    }
    return y;
}
