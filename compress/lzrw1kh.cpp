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
constexpr std::int16_t kEmpty = -32768;
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

// The bits of the first byte, and of the first three bytes, in memory of an
// 8-byte word.
constexpr std::uint64_t kFirstByte = std::endian::native == std::endian::little ? 0xFFull : 0xFFull << 56;
constexpr std::uint64_t kFirstThreeBytes =
    std::endian::native == std::endian::little ? 0xFFFFFFull : 0xFFFFFFull << 40;

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

// Copies length (3-18) bytes from distance back to out, as if byte by byte.
// May write up to 24 bytes; those past the item's end are rewritten by the next
// items or fall into the chunk's slack.
inline void copyBack(std::uint8_t *out, int distance, int length)
{
    const std::uint8_t *from = out - distance;
    if (distance >= 8) {
        // Three steps of 8, each reading only bytes already in place. (Not
        // branching on the distance any further pays: it is hard to predict.)
        std::memcpy(out, from, 8);
        std::memcpy(out + 8, from + 8, 8);
        std::memcpy(out + 16, from + 16, 8);
    } else if (distance == 1) {
        std::memset(out, *from, 24);
    } else {
        // Each byte may be one this copy has just written.
        for (int i = 0; i < length; ++i)
            out[i] = from[i];
    }
}

// Leading zero bits of a word that is not 0.
inline int leadingZeros(std::uint32_t v)
{
#if defined(__GNUC__)
    return __builtin_clz(v); // no test for 0, which std::countl_zero makes without LZCNT
#else
    return std::countl_zero(v);
#endif
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
    // Empty entries hold a position so far back that it is never a candidate,
    // which makes "empty" and "too far" one test.
    std::fill(table, table + kHashSize, kEmpty);

    body[0] = kCoded;
    std::uint8_t *controlSlot = body + 1;
    std::uint8_t *out = body + 3;
    // Stop as soon as the body is as long as the chunk: storing is then no worse.
    std::uint8_t *const outLimit = body + n;
    int x = 0;
    int items = 0;
    unsigned control = 0;

    auto startItem = [&] {
        if (items == 16) {
            controlSlot[0] = static_cast<std::uint8_t>(control >> 8);
            controlSlot[1] = static_cast<std::uint8_t>(control);
            controlSlot = out;
            out += 2;
            items = 0;
        }
        ++items;
    };
    auto emitRun = [&](int count, std::uint8_t c) {
        const int v = count - kMinRun;
        out[0] = 0;
        out[1] = static_cast<std::uint8_t>(v >> 8);
        out[2] = static_cast<std::uint8_t>(v);
        out[3] = c;
        out += 4;
        x += count;
        control = (control << 1) | 1u;
    };
    auto emitCopy = [&](int distance, int length) {
        const unsigned v = unsigned(distance) << 4 | unsigned(length - kMinCopy);
        out[0] = static_cast<std::uint8_t>(v >> 8);
        out[1] = static_cast<std::uint8_t>(v);
        out += 2;
        x += length;
        control = (control << 1) | 1u;
    };
    auto emitLiteral = [&](std::uint8_t c) {
        *out++ = c;
        ++x;
        control <<= 1;
    };
    // The table's candidate for position x, which takes its place.
    auto lookUp = [&] {
        const unsigned h = hashOf(src + x);
        const int candidate = table[h];
        table[h] = static_cast<std::int16_t>(x);
        return candidate;
    };

    // While 24 bytes from x lie inside the chunk, bytes are compared 8 at a time
    // without checking the chunk's end.
    const int wideEnd = n - 24;
    while (x < wideEnd && out <= outLimit) {
        startItem();
        const std::uint8_t c = src[x];
        if (src[x + 1] == c) {
            const int run = runLength(src + x, std::min(n - x, kMaxRun));
            if (run >= kMinRun) {
                emitRun(run, c);
                continue;
            }
        }
        const int candidate = lookUp();
        const int distance = x - candidate;
        // Whether the candidate is near enough is hard to predict, so it is not
        // branched on: one too far is replaced by x itself and made to differ
        // at the first byte.
        const bool near = distance <= kMaxDistance;
        const std::uint8_t *ref = near ? src + candidate : src + x;
        const std::uint64_t diff = (load64(ref) ^ load64(src + x)) | (kFirstByte * std::uint64_t(!near));
        if ((diff & kFirstThreeBytes) == 0) {
            emitCopy(distance, diff ? firstDifference(diff) : 8 + matchLength(ref + 8, src + x + 8, kMaxCopy - 8));
            continue;
        }
        emitLiteral(c);
    }
    // The chunk's last bytes.
    while (x < n && out <= outLimit) {
        startItem();
        const std::uint8_t c = src[x];
        const int run = runLength(src + x, std::min(n - x, kMaxRun));
        if (run >= kMinRun) {
            emitRun(run, c);
            continue;
        }
        // The last two positions can never start a copy; the hash is not needed
        // there.
        if (n - x >= kMinCopy) {
            const int candidate = lookUp();
            const int distance = x - candidate;
            if (distance <= kMaxDistance) {
                const int length = matchLength(src + candidate, src + x, std::min(kMaxCopy, n - x));
                if (length >= kMinCopy) {
                    emitCopy(distance, length);
                    continue;
                }
            }
        }
        emitLiteral(c);
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

    const std::uint8_t *in = body + 3;
    const std::uint8_t *const end = body + L;
    std::uint8_t *out = chunk;
    std::uint8_t *const outEnd = chunk + ChunkSize;
    // The control word stands in the top 16 bits, followed by a marker bit: when
    // only the marker is left, the group is done.
    constexpr std::uint32_t kDone = 0x80000000u;
    auto controlWord = [](const std::uint8_t *p) {
        return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | 0x8000u;
    };
    std::uint32_t control = controlWord(body + 1);

    // Far from both ends no item can reach past either, and only the copies'
    // distances need checking.
    const std::uint8_t *const inSafe = L > 24 ? end - 24 : body;
    std::uint8_t *const outSafe = outEnd - 4200;
    while (in < inSafe && out < outSafe) {
        if (control == kDone) {
            control = controlWord(in);
            in += 2;
        }
        // The literals before the next copy or run, perhaps none: taken without
        // asking whether there are any, a question too hard to predict.
        const int k = leadingZeros(control);
        std::memcpy(out, in, 16);
        in += k;
        out += k;
        control <<= k;
        if (control == kDone)
            continue;
        const unsigned v = unsigned(in[0]) << 8 | in[1];
        if (v >> 4) {
            const int distance = int(v >> 4);
            if (distance > out - chunk)
                return -1;
            const int length = int(v & 0x0F) + kMinCopy;
            copyBack(out, distance, length);
            out += length;
            in += 2;
        } else {
            const int count = int(unsigned(in[1]) << 8 | in[2]) + kMinRun;
            std::memset(out, in[3], static_cast<std::size_t>(count));
            out += count;
            in += 4;
        }
        control <<= 1;
    }
    // Near an end every item is checked.
    while (in < end) {
        if (control == kDone) {
            // A control word is always followed by at least one item.
            if (end - in < 3)
                return -1;
            control = controlWord(in);
            in += 2;
        }
        if ((control & 0x80000000u) == 0) {
            // All the literals up to the next copy or run, or the group's end, at
            // once (the low bits of the last group are 0, so its end is a run of
            // literals that the body's end cuts short).
            const int k = std::min(std::countl_zero(control), int(end - in));
            if (k > outEnd - out)
                return -1;
            // k <= 16: copy 16 bytes from the body's room into the chunk's slack.
            std::memcpy(out, in, 16);
            in += k;
            out += k;
            control <<= k;
            if (control == kDone || in == end)
                continue;
            // Otherwise a copy or run follows.
        }
        if (end - in < 2)
            return -1;
        const unsigned v = unsigned(in[0]) << 8 | in[1];
        if (v >> 4) {
            const int distance = int(v >> 4);
            const int length = int(v & 0x0F) + kMinCopy;
            if (distance > out - chunk || length > outEnd - out)
                return -1;
            copyBack(out, distance, length);
            out += length;
            in += 2;
        } else {
            if (end - in < 4)
                return -1;
            const int count = int(unsigned(in[1]) << 8 | in[2]) + kMinRun;
            if (count > outEnd - out)
                return -1;
            std::memset(out, in[3], static_cast<std::size_t>(count));
            out += count;
            in += 4;
        }
        control <<= 1;
    }
    return int(out - chunk);
}
