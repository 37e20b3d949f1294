// LZHUF: LZSS over a 4,096-byte ring whose literals and match lengths share one
// adaptive Huffman tree, and whose match positions have a fixed code for their
// upper 6 bits followed by the lower 6 bits plain. The coder keeps the classic
// 1988 match search (binary trees per first byte, nearer match on equal lengths)
// so its output is the same byte for byte; the decoder reads any such stream and
// refuses one that ends before it is done.
#include "lzhufbits.h"
#include "lzrw1engines.h"
#include "lzrw1.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int N = 4096;          // ring size
constexpr int F = 60;            // look-ahead, longest match
constexpr int THRESHOLD = 2;     // a match is longer than this
constexpr int N_CHAR = 256 - THRESHOLD + F; // 314 symbols
constexpr int T = N_CHAR * 2 - 1; // 627 tree nodes
constexpr int R = T - 1;          // the root's position
constexpr unsigned MAX_FREQ = 0x8000;
constexpr int NIL = N;            // no node in the search trees

// The upper 6 bits of a position: code length and code (left-aligned in a byte).
constexpr std::array<std::uint8_t, 64> kUpperLen = {
    3, 4, 4, 4, 5, 5, 5, 5, 5, 5, 5, 5, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 7, 7, 7, 7, 7, 7, 7, 7,
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8};
constexpr std::array<std::uint8_t, 64> kUpperCode = {
    0x00, 0x20, 0x30, 0x40, 0x50, 0x58, 0x60, 0x68, 0x70, 0x78, 0x80, 0x88, 0x90, 0x94, 0x98, 0x9C,
    0xA0, 0xA4, 0xA8, 0xAC, 0xB0, 0xB4, 0xB8, 0xBC, 0xC0, 0xC2, 0xC4, 0xC6, 0xC8, 0xCA, 0xCC, 0xCE,
    0xD0, 0xD2, 0xD4, 0xD6, 0xD8, 0xDA, 0xDC, 0xDE, 0xE0, 0xE2, 0xE4, 0xE6, 0xE8, 0xEA, 0xEC, 0xEE,
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF};

// Decoding of the upper bits from the next 8 bits of the stream.
struct UpperDecode
{
    std::array<std::uint8_t, 256> value{};
    std::array<std::uint8_t, 256> length{};
    constexpr UpperDecode()
    {
        for (int u = 0; u < 64; ++u) {
            const int span = 1 << (8 - kUpperLen[u]);
            for (int b = kUpperCode[u]; b < kUpperCode[u] + span; ++b) {
                value[b] = static_cast<std::uint8_t>(u);
                length[b] = kUpperLen[u];
            }
        }
    }
};
constexpr UpperDecode kUpperDecode;

using lzhufbits::BitReader;
using lzhufbits::BitWriter;
using lzhufbits::kIoSize;

} // namespace

struct TLZH::Tables
{
    // The adaptive Huffman tree.
    std::array<unsigned, T + 1> freq;
    std::array<int, T + N_CHAR> prnt; // also the leaf of each symbol at T + symbol
    std::array<int, T> son;
    // The ring and the coder's search trees.
    std::array<std::uint8_t, N + F - 1> text;
    std::array<int, N + 1> lson;
    std::array<int, N + 257> rson; // N + 1 + c: the tree of first byte c
    std::array<int, N + 1> dad;
    int matchPosition = 0;
    int matchLength = 0;

    void startHuff();
    void reconst();
    void update(int c);

    void initTree();
    void insertNode(int r);
    void deleteNode(int p);
};

void TLZH::Tables::startHuff()
{
    for (int i = 0; i < N_CHAR; ++i) {
        freq[i] = 1;
        son[i] = i + T;
        prnt[i + T] = i;
    }
    for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
        freq[j] = freq[i] + freq[i + 1];
        son[j] = i;
        prnt[i] = prnt[i + 1] = j;
    }
    freq[T] = 0xFFFF;
    prnt[R] = 0;
}

void TLZH::Tables::reconst()
{
    // Gather the leaves at the front, halving their weights.
    int j = 0;
    for (int i = 0; i < T; ++i) {
        if (son[i] >= T) {
            freq[j] = (freq[i] + 1) / 2;
            son[j] = son[i];
            ++j;
        }
    }
    // Join them again, each new node after all nodes of equal weight.
    for (int i = 0; j < T; i += 2, ++j) {
        const unsigned f = freq[i] + freq[i + 1];
        int k = j - 1;
        while (f < freq[k])
            --k;
        ++k;
        std::copy_backward(freq.begin() + k, freq.begin() + j, freq.begin() + j + 1);
        std::copy_backward(son.begin() + k, son.begin() + j, son.begin() + j + 1);
        freq[k] = f;
        son[k] = i;
    }
    for (int i = 0; i < T; ++i) {
        const int k = son[i];
        if (k >= T)
            prnt[k] = i;
        else
            prnt[k] = prnt[k + 1] = i;
    }
}

void TLZH::Tables::update(int c)
{
    if (freq[R] == MAX_FREQ)
        reconst();
    c = prnt[c + T];
    do {
        const unsigned k = ++freq[c];
        int l = c + 1;
        if (k > freq[l]) {
            while (k > freq[++l]) {
            }
            --l;
            freq[c] = freq[l];
            freq[l] = k;

            const int i = son[c];
            prnt[i] = l;
            if (i < T)
                prnt[i + 1] = l;
            const int j = son[l];
            son[l] = i;
            prnt[j] = c;
            if (j < T)
                prnt[j + 1] = c;
            son[c] = j;
            c = l;
        }
    } while ((c = prnt[c]) != 0);
}

void TLZH::Tables::initTree()
{
    for (int i = N + 1; i <= N + 256; ++i)
        rson[i] = NIL;
    for (int i = 0; i < N; ++i)
        dad[i] = NIL;
}

void TLZH::Tables::insertNode(int r)
{
    int cmp = 1;
    const std::uint8_t *key = &text[r];
    int p = N + 1 + key[0];
    rson[r] = lson[r] = NIL;
    matchLength = 0;
    for (;;) {
        if (cmp >= 0) {
            if (rson[p] != NIL) {
                p = rson[p];
            } else {
                rson[p] = r;
                dad[r] = p;
                return;
            }
        } else {
            if (lson[p] != NIL) {
                p = lson[p];
            } else {
                lson[p] = r;
                dad[r] = p;
                return;
            }
        }
        int i = 1;
        for (; i < F; ++i) {
            cmp = int(key[i]) - int(text[p + i]);
            if (cmp != 0)
                break;
        }
        if (i > THRESHOLD) {
            const int pos = ((r - p) & (N - 1)) - 1;
            if (i > matchLength) {
                matchPosition = pos;
                matchLength = i;
                if (matchLength >= F)
                    break;
            } else if (i == matchLength && pos < matchPosition) {
                matchPosition = pos;
            }
        }
    }
    // A full match: r takes p's place.
    dad[r] = dad[p];
    lson[r] = lson[p];
    rson[r] = rson[p];
    dad[lson[p]] = r;
    dad[rson[p]] = r;
    if (rson[dad[p]] == p)
        rson[dad[p]] = r;
    else
        lson[dad[p]] = r;
    dad[p] = NIL;
}

void TLZH::Tables::deleteNode(int p)
{
    if (dad[p] == NIL)
        return;
    int q;
    if (rson[p] == NIL) {
        q = lson[p];
    } else if (lson[p] == NIL) {
        q = rson[p];
    } else {
        q = lson[p];
        if (rson[q] != NIL) {
            do {
                q = rson[q];
            } while (rson[q] != NIL);
            rson[dad[q]] = lson[q];
            dad[lson[q]] = dad[q];
            lson[q] = lson[p];
            dad[lson[p]] = q;
        }
        rson[q] = rson[p];
        dad[rson[p]] = q;
    }
    dad[q] = dad[p];
    if (rson[dad[p]] == p)
        rson[dad[p]] = q;
    else
        lson[dad[p]] = q;
    dad[p] = NIL;
}

TLZH::TLZH() : m_t(new (std::nothrow) Tables)
{
    if (!m_t)
        throw ElzhException(QStringLiteral("LZH : Cannot get memory for dictionary tables"));
}

TLZH::~TLZH() = default;

std::uint64_t TLZH::encode(const ReadFn &read, const WriteFn &write)
{
    Tables &t = *m_t;
    BitWriter out(write);

    // Input through a buffer of our own.
    std::vector<std::uint8_t> inBuf(kIoSize);
    std::size_t inPos = 0, inEnd = 0;
    bool inEof = false;
    auto next = [&](int *c) {
        if (inPos == inEnd) {
            if (inEof)
                return false;
            inEnd = read(inBuf.data(), inBuf.size());
            inPos = 0;
            if (inEnd == 0) {
                inEof = true;
                return false;
            }
        }
        *c = inBuf[inPos++];
        return true;
    };

    // The first bytes, before any tree exists.
    t.text.fill(0);
    int len = 0;
    int c = 0;
    const int r0 = N - F;
    while (len < F && next(&c))
        t.text[r0 + len++] = static_cast<std::uint8_t>(c);
    if (len == 0)
        return 0;

    t.startHuff();
    t.initTree();
    std::fill(t.text.begin(), t.text.begin() + r0, std::uint8_t(' '));
    int s = 0;
    int r = r0;
    for (int i = 1; i <= F; ++i)
        t.insertNode(r - i);
    t.insertNode(r);

    std::array<std::uint8_t, T> path{};
    auto encodeChar = [&](int symbol) {
        int depth = 0;
        for (int k = t.prnt[symbol + T]; k != R; k = t.prnt[k])
            path[depth++] = static_cast<std::uint8_t>(k & 1);
        while (depth > 0) {
            // Up to 24 bits per call, the bit nearest the root first.
            unsigned bits = 0;
            int count = 0;
            while (depth > 0 && count < 24) {
                bits = (bits << 1) | path[--depth];
                ++count;
            }
            out.put(bits, count);
        }
        t.update(symbol);
    };
    auto encodePosition = [&](int v) {
        const int u = v >> 6;
        out.put(unsigned(kUpperCode[u]) >> (8 - kUpperLen[u]), kUpperLen[u]);
        out.put(unsigned(v) & 0x3Fu, 6);
    };

    do {
        if (t.matchLength > len)
            t.matchLength = len;
        if (t.matchLength <= THRESHOLD) {
            t.matchLength = 1;
            encodeChar(t.text[r]);
        } else {
            encodeChar(255 - THRESHOLD + t.matchLength);
            encodePosition(t.matchPosition);
        }
        const int last = t.matchLength;
        int i = 0;
        for (; i < last && next(&c); ++i) {
            t.deleteNode(s);
            t.text[s] = static_cast<std::uint8_t>(c);
            if (s < F - 1)
                t.text[s + N] = static_cast<std::uint8_t>(c);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            t.insertNode(r);
        }
        for (; i < last; ++i) {
            t.deleteNode(s);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            if (--len)
                t.insertNode(r);
        }
    } while (len > 0);

    out.finish();
    return out.total();
}

TLZH::Result TLZH::decode(const ReadFn &read, const WriteFn &write, std::uint64_t length,
                          std::uint64_t *written)
{
    *written = 0;
    if (length == 0)
        return Result::Ok;
    Tables &t = *m_t;
    t.startHuff();
    // The ring: spaces, then zeros where the coder never reads before writing.
    std::fill(t.text.begin(), t.text.begin() + (N - F), std::uint8_t(' '));
    std::fill(t.text.begin() + (N - F), t.text.end(), std::uint8_t(0));
    int r = N - F;

    BitReader in(read);
    std::vector<std::uint8_t> outBuf(kIoSize);
    std::size_t fill = 0;
    std::uint64_t count = 0;
    auto emit = [&](std::uint8_t b) {
        t.text[r] = b;
        r = (r + 1) & (N - 1);
        outBuf[fill++] = b;
        if (fill == outBuf.size()) {
            write(outBuf.data(), fill);
            fill = 0;
        }
        ++count;
    };
    auto done = [&](Result result) {
        if (fill)
            write(outBuf.data(), fill);
        *written = count;
        return result;
    };

    while (count < length) {
        int c = t.son[R];
        while (c < T) {
            unsigned bit;
            if (!in.take(1, &bit))
                return done(Result::Truncated);
            c = t.son[c + int(bit)];
        }
        c -= T;
        t.update(c);
        if (c < 256) {
            emit(static_cast<std::uint8_t>(c));
            continue;
        }
        const unsigned look = in.peek8();
        unsigned upper, lower;
        if (!in.take(kUpperDecode.length[look], &upper) || !in.take(6, &lower))
            return done(Result::Truncated);
        const int v = int(kUpperDecode.value[look]) << 6 | int(lower);
        int from = (r - v - 1) & (N - 1);
        for (int k = 0, n = c - 255 + THRESHOLD; k < n; ++k) {
            emit(t.text[from]);
            from = (from + 1) & (N - 1);
        }
    }
    return done(count == length ? Result::Ok : Result::Overrun);
}
