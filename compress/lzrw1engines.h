#pragma once
// The two engines behind Tlzrw1. Their interfaces are plain C++ (no Qt types, no
// files); the component does the container and the I/O.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

// LZRW1/KH: one chunk of at most 32,768 bytes at a time, between memory buffers.
class TLZR
{
public:
    static constexpr int ChunkSize = 32768;
    // Room for one block body: a coded body may run up to 6 bytes past the chunk's
    // length before the coder falls back to storing it.
    static constexpr int BufferSize = ChunkSize + 16;
    // Room for one expanded chunk: the expander writes whole words, up to 24
    // bytes past the chunk's end.
    static constexpr int ExpandBufferSize = ChunkSize + 32;
    static constexpr int ReadSlack = 16;

    TLZR(); // throws ELzrw1KHCompressor when the hash table cannot be had
    ~TLZR();
    TLZR(const TLZR &) = delete;
    TLZR &operator=(const TLZR &) = delete;

    // Codes src[0, n) (n <= ChunkSize) into body (BufferSize bytes); returns the
    // body's length L: coded (byte 0 = 0x40) or stored (0x80 + the chunk, L = n + 1).
    int compress(const std::uint8_t *src, int n, std::uint8_t *body);

    // Expands the body body[0, L) into chunk (ExpandBufferSize bytes); returns the
    // chunk's length, or -1 when the block is corrupt: longer than a stored full
    // chunk, an item reaching past the body, a chunk longer than ChunkSize, or a
    // copy from before the chunk's start. The expander reads whole words: the
    // ReadSlack bytes after the body must be readable too (they are not used).
    static int expand(const std::uint8_t *body, int L, std::uint8_t *chunk);

private:
    std::int16_t *m_hash; // 4096 positions, -1 for none
};

// LZHUF (LZSS over a 4,096-byte ring with adaptive Huffman coding): one whole
// stream through a reading and a writing callback.
class TLZH
{
public:
    // Fills buf with up to max bytes; returns how many, 0 at the end. May throw.
    using ReadFn = std::function<std::size_t(std::uint8_t *buf, std::size_t max)>;
    // Takes n bytes. May throw.
    using WriteFn = std::function<void(const std::uint8_t *buf, std::size_t n)>;

    enum class Result {
        Ok,
        Truncated, // a code needed bits past the end of the stream
        Overrun,   // the last match ran past the expected length
    };

    TLZH(); // throws ElzhException when the tables cannot be had
    ~TLZH();
    TLZH(const TLZH &) = delete;
    TLZH &operator=(const TLZH &) = delete;

    // Codes everything read into the stream; returns the stream's length in bytes.
    std::uint64_t encode(const ReadFn &read, const WriteFn &write);
    // Decodes until length bytes are out; *written tells how many were written.
    Result decode(const ReadFn &read, const WriteFn &write, std::uint64_t length,
                  std::uint64_t *written);

private:
    struct Tables;
    std::unique_ptr<Tables> m_t;
};
