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
#include <bit>
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

// The index of the first differing byte of two 8-byte words loaded from memory,
// given their XOR (not 0).
inline int firstDifference(std::uint64_t diff)
{
    if constexpr (std::endian::native == std::endian::little)
        return std::countr_zero(diff) >> 3;
    else
        return std::countl_zero(diff) >> 3;
}

// The bits of the first byte in memory of an 8-byte word.
constexpr std::uint64_t kFirstByte = std::endian::native == std::endian::little ? 0xFFull : 0xFFull << 56;

inline std::uint64_t load64(const std::uint8_t *p)
{
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// How many of p[0, limit) equal p[0] before the first that does not (limit >= 1).
inline int runLength(const std::uint8_t *p, int limit)
{
    const std::uint64_t pattern = 0x0101010101010101ull * p[0];
    int run = 1;
    while (run + 8 <= limit) {
        const std::uint64_t diff = load64(p + run) ^ pattern;
        if (diff)
            return run + firstDifference(diff);
        run += 8;
    }
    while (run < limit && p[run] == p[0])
        ++run;
    return run;
}

// How many of a[0, limit) and b[0, limit) agree before the first pair that does not.
inline int matchLength(const std::uint8_t *a, const std::uint8_t *b, int limit)
{
    int length = 0;
    while (length + 8 <= limit) {
        const std::uint64_t diff = load64(a + length) ^ load64(b + length);
        if (diff)
            return length + firstDifference(diff);
        length += 8;
    }
    while (length < limit && a[length] == b[length])
        ++length;
    return length;
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
    // A local copy: stores through out may alias anything, and would make the
    // compiler reload a member after each of them.
    std::int16_t *const table = m_hash;
    std::fill(table, table + kHashSize, static_cast<std::int16_t>(-1));

    body[0] = kCoded;
    std::uint8_t *controlSlot = body + 1;
    std::uint8_t *out = body + 3;
    // Stop as soon as the body is as long as the chunk: storing is then no worse.
    std::uint8_t *const outLimit = body + n;
    int x = 0;
    int items = 0;
    unsigned control = 0;
    while (x < n && out <= outLimit) {
        if (items == 16) {
            controlSlot[0] = static_cast<std::uint8_t>(control >> 8);
            controlSlot[1] = static_cast<std::uint8_t>(control);
            controlSlot = out;
            out += 2;
            items = 0;
        }
        ++items;
        const std::uint8_t c = src[x];
        const int run = runLength(src + x, std::min(n - x, kMaxRun));
        if (run >= kMinRun) {
            const int v = run - kMinRun;
            out[0] = 0;
            out[1] = static_cast<std::uint8_t>(v >> 8);
            out[2] = static_cast<std::uint8_t>(v);
            out[3] = c;
            out += 4;
            x += run;
            control = (control << 1) | 1u;
            continue;
        }
        int length = 0;
        int distance = 0;
        if (n - x >= 8) {
            const unsigned h = hashOf(src + x);
            const int candidate = table[h];
            table[h] = static_cast<std::int16_t>(x);
            distance = x - candidate;
            // Whether the candidate is usable is hard to predict, so it is not
            // branched on: an unusable one is replaced by x itself and made to
            // differ at the first byte.
            const bool usable = (candidate != -1) & (distance <= kMaxDistance);
            const int keep = -int(usable); // all ones when usable
            const std::uint8_t *ref = src + x + ((candidate - x) & keep);
            const std::uint64_t diff =
                (load64(ref) ^ load64(src + x)) | (kFirstByte & ~static_cast<std::uint64_t>(std::int64_t(keep)));
            if (diff == 0)
                length = 8 + matchLength(ref + 8, src + x + 8, std::min(kMaxCopy, n - x) - 8);
            else
                length = firstDifference(diff);
        } else if (n - x >= kMinCopy) {
            // Near the chunk's end. The last two positions can never start a
            // copy; the hash is not needed there.
            const unsigned h = hashOf(src + x);
            const int candidate = table[h];
            table[h] = static_cast<std::int16_t>(x);
            distance = x - candidate;
            if (candidate != -1 && distance <= kMaxDistance)
                length = matchLength(src + candidate, src + x, n - x);
        }
        if (length >= kMinCopy) {
            const unsigned v = unsigned(distance) << 4 | unsigned(length - kMinCopy);
            out[0] = static_cast<std::uint8_t>(v >> 8);
            out[1] = static_cast<std::uint8_t>(v);
            out += 2;
            x += length;
            control = (control << 1) | 1u;
        } else {
            *out++ = c;
            ++x;
            control <<= 1;
        }
    }
    control <<= (16 - items);
    controlSlot[0] = static_cast<std::uint8_t>(control >> 8);
    controlSlot[1] = static_cast<std::uint8_t>(control);

    if (out > outLimit)
        return store(src, n, body);
    return int(out - body);
}

int TLZR::expand(const std::uint8_t *body, int L, std::uint8_t *chunk)
{
    if (L > ChunkSize + 1)
        return -1;
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
            // All the literals up to the next copy or run at once (the low bits
            // of the last group are 0, so its end is a run of literals that the
            // body's end cuts short).
            const int k = std::min({std::countl_zero(static_cast<std::uint16_t>(control)), bits, L - x});
            if (k > ChunkSize - y)
                return -1;
            // k <= 16: copy 16 bytes from the body's room into the chunk's slack.
            std::memcpy(chunk + y, body + x, 16);
            x += k;
            y += k;
            control <<= k;
            bits -= k;
            continue;
        }
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
            if (distance >= kMaxCopy) {
                // The source lies wholly before the item: load 24 bytes, then
                // store them. Bytes past the item's end are rewritten by the
                // next items or fall into the chunk's slack.
                std::uint8_t words[24];
                std::memcpy(words, from, sizeof words);
                std::memcpy(to, words, sizeof words);
            } else {
                // Source and item overlap: byte by byte, each byte may be one
                // this copy has just written.
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
        control <<= 1;
        --bits;
    }
    return y;
}
