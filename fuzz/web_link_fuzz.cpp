// A notification's link, as the service (or anyone on the way) may send it: only an "http://" or
// "https://" address is ever opened, whatever its case and the blanks around it, and only an
// opened link can end the program.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/menu_state.h"
#include "components/notify_popup_rules.h"
#include "fuzz_check.h"
#include "settings/text_convert.h"

namespace {

std::string WithCase(std::string_view text, bool upper) {
    std::string changed(text);
    for (char& c : changed) {
        if (upper && c >= 'a' && c <= 'z') {
            c = char(c - 'a' + 'A');
        } else if (!upper && c >= 'A' && c <= 'Z') {
            c = char(c - 'A' + 'a');
        }
    }
    return changed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The link, and after the first NUL byte the update link.
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\0');
    const std::string_view link = input.substr(0, split);
    const std::string_view updatelink =
        split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

    const bool web = IsWebAddress(link);
    const std::string lower = WithCase(TrimBlanks(link), false);
    const bool httpPrefix = lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0;
    // An http or https address with something after the scheme, and nothing else.
    FUZZ_CHECK(web == (httpPrefix && lower.size() > lower.find("//") + 2));
    FUZZ_CHECK(IsWebAddress(WithCase(link, true)) == web);
    FUZZ_CHECK(IsWebAddress(" \t\r\n" + std::string(link) + "\x01 ") == web);

    const NotificationLinkAction action = DecideNotificationLink(link, updatelink);
    FUZZ_CHECK(!action.endProgram || action.open);
    if (action.open) {
        FUZZ_CHECK(web && IsWebAddress(action.address));
        FUZZ_CHECK(action.address == lower);
        FUZZ_CHECK(action.address.find("www.placeholder.invalid") == std::string::npos);
    }
    // A web address is opened unless it is the placeholder's.
    if (web && lower.find("www.placeholder.invalid") == std::string::npos) {
        FUZZ_CHECK(action.open);
        FUZZ_CHECK(action.endProgram == (lower == WithCase(TrimBlanks(updatelink), false)));
    }
    return 0;
}
