// The LZHUF decoder on hostile input: the uncompressed length and the bit stream
// of a "!HZL" container (everything after the signature).
#include "fuzzcommon.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzzDecode(fuzzInput(data, size), "!HZL");
    return 0;
}
