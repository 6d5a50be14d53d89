// The sign-in and session replies: accepted exactly when "[OK]" stands anywhere, and the id is
// all that follows its first appearance, unchanged.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "service/page_addresses.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string body(reinterpret_cast<const char*>(data), size);
    const OkReply reply = ParseOkReply(body);
    const size_t marker = body.find("[OK]");
    FUZZ_CHECK(reply.accepted == (marker != std::string::npos));
    if (reply.accepted) {
        FUZZ_CHECK(body.compare(marker + 4, std::string::npos, reply.id) == 0);
    } else {
        FUZZ_CHECK(reply.id.empty());
    }
    return 0;
}
