#pragma once
// LZRW1/KH chunk coding written plainly, step by step as the format describes it,
// with none of the engine's shortcuts (word compares, skipped hashing near the
// end). The tests check that the engine gives the very same bodies.
#include <QByteArray>
#include <cstdint>
#include <vector>

namespace reference {

inline QByteArray codeChunk(const QByteArray &chunk)
{
    const int n = int(chunk.size());
    auto b = [&](int i) -> std::uint32_t { return i < n ? std::uint8_t(chunk[i]) : 0u; };
    QByteArray stored = QByteArray(1, char(0x80)) + chunk;
    if (n < 3)
        return stored;
    std::vector<int> table(4096, -1);
    QByteArray body(3, '\0');
    body[0] = char(0x40);
    int controlSlot = 1;
    int x = 0;
    int items = 0;
    std::uint32_t control = 0;
    auto storeControl = [&] {
        body[controlSlot] = char((control >> 8) & 0xFF);
        body[controlSlot + 1] = char(control & 0xFF);
    };
    while (x < n && body.size() <= n) {
        if (items == 16) {
            storeControl();
            controlSlot = int(body.size());
            body += QByteArray(2, '\0');
            items = 0;
        }
        int count = 1;
        while (count < 4095 && x + count < n && b(x + count) == b(x))
            ++count;
        if (count >= 16) {
            body += char(0);
            body += char((count - 16) >> 8);
            body += char((count - 16) & 0xFF);
            body += char(b(x));
            x += count;
            control = (control << 1) | 1;
        } else {
            const std::uint32_t hash = (((((b(x) << 4) ^ b(x + 1)) << 4) ^ b(x + 2)) * 40543u >> 4) & 0xFFF;
            const int candidate = table[hash];
            int length = 0;
            if (candidate != -1 && x - candidate < 4096)
                while (length < 18 && x + length < n && b(candidate + length) == b(x + length))
                    ++length;
            table[hash] = x;
            if (length >= 3) {
                const int v = (x - candidate) * 16 + (length - 3);
                body += char(v >> 8);
                body += char(v & 0xFF);
                x += length;
                control = (control << 1) | 1;
            } else {
                body += char(b(x));
                x += 1;
                control <<= 1;
            }
        }
        ++items;
    }
    control <<= (16 - items);
    storeControl();
    return body.size() > n ? stored : body;
}

} // namespace reference
