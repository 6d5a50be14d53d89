// EncodeQueryValue: the encoded text holds only what a query may carry unescaped, and form
// decoding gives every input byte back.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "service/page_addresses.h"

namespace {

int HexValue(char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

bool UnescapedInQuery(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           std::string("!$'()*-._@+%").find(c) != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string encoded = EncodeQueryValue(text);
    std::string decoded;
    for (size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        FUZZ_CHECK(UnescapedInQuery(c));
        if (c == '+') {
            decoded += ' ';
        } else if (c == '%') {
            FUZZ_CHECK(i + 2 < encoded.size());
            const int high = HexValue(encoded[i + 1]);
            const int low = HexValue(encoded[i + 2]);
            FUZZ_CHECK(high >= 0 && low >= 0);
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            decoded += c;
        }
    }
    FUZZ_CHECK(decoded == text);
    return 0;
}
