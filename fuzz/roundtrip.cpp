// Any input, coded with either method and decoded again, comes back unchanged.
// The first byte picks the method. (The LZHUF coder's match search is slow under
// coverage tracing, hence a target of its own.)
#include "fuzzcommon.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    fuzzRoundTrip(fuzzInput(data + 1, size - 1), data[0] & 1 ? TCompressMode::Good : TCompressMode::Fast);
    return 0;
}
