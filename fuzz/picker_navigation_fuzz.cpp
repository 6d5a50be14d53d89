// The addresses the picker's browser control reports, as any page may make them: an id is picked
// only where the marker stands, holds no ")", and is exactly what a link put between the marker
// and ")"; error pages are recognised case-sensitively.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "windows/picker_navigation.h"

namespace {

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = char(c - 'a' + 'A');
        }
    }
    return upper;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view address(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string> id = PickedWallpaperId(address);
    const size_t marker = address.find(kNewDesktopMarker);
    FUZZ_CHECK(id.has_value() == (marker != std::string_view::npos));
    if (id) {
        FUZZ_CHECK(id->find(')') == std::string::npos);
        const size_t idStart = marker + kNewDesktopMarker.size();
        if (address.find(')', idStart) == std::string_view::npos) {
            FUZZ_CHECK(id->empty());
        } else {
            FUZZ_CHECK(address.substr(idStart, id->size() + 1) == *id + ")");
        }
    }

    // A link made of the text before the first NUL byte (where it holds no marker), the marker,
    // the text after it without ")" as the id, ")" and anything else.
    const size_t split = address.find('\0');
    if (split != std::string_view::npos) {
        const std::string_view before = address.substr(0, split);
        std::string linkedId;
        for (const char c : address.substr(split + 1)) {
            if (c != ')') {
                linkedId += c;
            }
        }
        if (before.find(kNewDesktopMarker) == std::string_view::npos) {
            const std::string link =
                std::string(before) + std::string(kNewDesktopMarker) + linkedId + ")x)";
            FUZZ_CHECK(PickedWallpaperId(link) == linkedId);
        }
    }

    const bool errorPage = IsBrowserErrorPage(address);
    if (errorPage) {
        FUZZ_CHECK(address.find("res://") != std::string_view::npos);
        FUZZ_CHECK(address.find("dll") != std::string_view::npos);
        FUZZ_CHECK(IsBrowserErrorPage("about:" + std::string(address) + "#top"));
    }
    FUZZ_CHECK(!IsBrowserErrorPage(Upper(address)));
    return 0;
}
