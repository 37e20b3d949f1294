// The LZRW1/KH decoder on hostile input: the uncompressed length and the blocks
// of a "WRZL" container (everything after the signature). The same bytes also go
// through the coder and back, which costs little here.
#include "fuzzcommon.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = fuzzInput(data, size);
    fuzzDecode(input, "WRZL");
    fuzzRoundTrip(input, TCompressMode::Fast);
    return 0;
}
