#pragma once
// LZHUF's bit streams: bits out and in, most significant first, in blocks
// through the coder's read and write callbacks. Used by lzhuf.cpp only.
#include "lzrw1engines.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace lzhufbits {

constexpr int kIoSize = 32784;

// Bits out, most significant first, in blocks through the write callback.
class BitWriter
{
public:
    explicit BitWriter(const TLZH::WriteFn &write) : m_write(write) { m_buf.resize(kIoSize); }

    void put(unsigned bits, int count) // the low `count` bits of `bits`, count <= 24
    {
        m_acc = (m_acc << count) | (bits & ((1u << count) - 1u));
        m_n += count;
        while (m_n >= 8) {
            m_n -= 8;
            byte(static_cast<std::uint8_t>(m_acc >> m_n));
        }
    }
    void finish()
    {
        if (m_n > 0)
            byte(static_cast<std::uint8_t>(m_acc << (8 - m_n)));
        m_n = 0;
        flush();
    }
    std::uint64_t total() const { return m_total; }

private:
    void byte(std::uint8_t b)
    {
        m_buf[m_fill++] = b;
        ++m_total;
        if (m_fill == m_buf.size())
            flush();
    }
    void flush()
    {
        if (m_fill)
            m_write(m_buf.data(), m_fill);
        m_fill = 0;
    }

    const TLZH::WriteFn &m_write;
    std::vector<std::uint8_t> m_buf;
    std::size_t m_fill = 0;
    std::uint64_t m_acc = 0;
    int m_n = 0;
    std::uint64_t m_total = 0;
};

// Bits in. Looking ahead past the end sees 0 bits; taking them is an error.
class BitReader
{
public:
    explicit BitReader(const TLZH::ReadFn &read) : m_read(read) { m_buf.resize(kIoSize); }

    // The next 8 bits without taking them.
    unsigned peek8()
    {
        fill();
        return static_cast<unsigned>(m_acc >> 56);
    }
    // Takes count (<= 32) bits; false when the stream has fewer left.
    bool take(int count, unsigned *value)
    {
        fill();
        if (count > m_n)
            return false;
        *value = count ? static_cast<unsigned>(m_acc >> (64 - count)) : 0u;
        m_acc <<= count;
        m_n -= count;
        return true;
    }

private:
    void fill()
    {
        while (m_n <= 56) {
            if (m_pos == m_end) {
                if (m_eof)
                    return;
                m_end = m_read(m_buf.data(), m_buf.size());
                m_pos = 0;
                if (m_end == 0) {
                    m_eof = true;
                    return;
                }
            }
            m_acc |= static_cast<std::uint64_t>(m_buf[m_pos++]) << (56 - m_n);
            m_n += 8;
        }
    }

    const TLZH::ReadFn &m_read;
    std::vector<std::uint8_t> m_buf;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    bool m_eof = false;
    std::uint64_t m_acc = 0; // bits left-aligned
    int m_n = 0;
};

} // namespace lzhufbits
