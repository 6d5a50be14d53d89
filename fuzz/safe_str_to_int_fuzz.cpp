// SafeStrToInt on any text read from the registry: no undefined behaviour, and a plain decimal
// number within 32 bits comes back as itself.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "settings/text_convert.h"

namespace {

// The value of a text that is an optional sign and one to nine decimal digits, which always fits.
bool ShortDecimal(const std::string& text, int64_t& value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size() || text.size() - i > 9) {
        return false;
    }
    value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + (text[i] - '0');
    }
    value = negative ? -value : value;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const int32_t value = SafeStrToInt(text);
    int64_t expected = 0;
    if (ShortDecimal(std::string(TrimBlanks(text)), expected)) {
        FUZZ_CHECK(value == expected);
    }
    return 0;
}
