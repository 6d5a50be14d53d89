// The addresses the picker's browser control reports, as any page may make them: an id is picked
// only where the marker stands, holds no ")", and is exactly what a link put between the marker
// and ")"; without the marker the control goes on only to the service's own http pages; error
// pages are recognised case-sensitively.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "windows/picker_navigation.h"

namespace {

// The text with its ASCII letters from one case (first letter from) in the other (first letter to).
std::string InCase(std::string_view text, char from, char to) {
    std::string changed(text);
    for (char& c : changed) {
        if (c >= from && c <= from + 25) {
            c = char(c - from + to);
        }
    }
    return changed;
}

// The address as the control would report it: each byte a character of its own, those past ASCII
// far from it.
std::wstring Reported(std::string_view address) {
    std::wstring reported;
    for (const char c : address) {
        const unsigned char byte = static_cast<unsigned char>(c);
        reported += static_cast<wchar_t>(byte < 0x80 ? byte : 0x4e00 + byte);
    }
    return reported;
}

// Whether text starts with the service's origin, port 80 named or not, followed by its end or by
// "/", "?" or "#".
bool OnServiceOrigin(std::string_view text) {
    for (const std::string_view origin : {"http://www.murlox.com:80", "http://www.murlox.com"}) {
        if (text.substr(0, origin.size()) == origin &&
            (text.size() == origin.size() ||
             std::string_view("/?#").find(text[origin.size()]) != std::string_view::npos)) {
            return true;
        }
    }
    return false;
}

constexpr std::string_view kServiceOrigin = "http://www.murlox.com:80";

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

    const PickerNavigation navigation =
        DecidePickerNavigation(address, Reported(address), kServiceOrigin);
    FUZZ_CHECK((navigation.action == PickerNavigation::Action::Pick) == id.has_value());
    FUZZ_CHECK(navigation.id == id.value_or(""));
    if (navigation.action == PickerNavigation::Action::Follow) {
        FUZZ_CHECK(OnServiceOrigin(InCase(address, 'A', 'a')));
    }
    // Any text after the service's origin and a "/" stays on the service.
    if (!id) {
        const std::string page = "http://www.murlox.com/" + std::string(address);
        FUZZ_CHECK(DecidePickerNavigation(page, Reported(page), kServiceOrigin).action ==
                   PickerNavigation::Action::Follow);
    }

    const bool errorPage = IsBrowserErrorPage(address);
    if (errorPage) {
        FUZZ_CHECK(address.find("res://") != std::string_view::npos);
        FUZZ_CHECK(address.find("dll") != std::string_view::npos);
        FUZZ_CHECK(IsBrowserErrorPage("about:" + std::string(address) + "#top"));
    }
    FUZZ_CHECK(!IsBrowserErrorPage(InCase(address, 'a', 'A')));
    return 0;
}
