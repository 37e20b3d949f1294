// The decoder of the server's messages on hostile input: it never throws, a
// damaged message names its bad field, and a message it reads whole writes back,
// through the builders' layout, to a text that reads the same. (A list of
// groups with none left, when every stats line was dropped, is the exception:
// the reader always reads one group, so such a list cannot be written.)
#include "fuzzcommon.h"
#include "servermessages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace vexlo;
    const DecodedMessage d = decodeServerMessage(fuzzInput(data, size));
    if (!d.ok() && d.errorText().isEmpty())
        std::abort();
    const auto *stats = d.message ? std::get_if<msg::LoadStats>(&*d.message) : nullptr;
    if (d.message && d.ok() && !(stats && stats->seats.isEmpty())) {
        const DecodedMessage again = decodeServerMessage(encodeServerMessage(*d.message));
        if (!again.ok() || !again.message || !(*again.message == *d.message))
            std::abort();
    }
    return 0;
}
