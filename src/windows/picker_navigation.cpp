#include "windows/picker_navigation.h"

#include <cstdint>
#include <utility>

namespace {

constexpr std::string_view kHttp = "http://";

// wchar_t is signed on some platforms: a negative unit is no ASCII character either.
bool Ascii(wchar_t c) {
    return static_cast<uint32_t>(c) <= 0x7f;
}

// The ASCII character c, lower-cased.
char LowerAscii(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? char(c - L'A' + L'a') : char(c);
}

bool AuthorityCharacter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
           c == L'.' || c == L'-' || c == L':' || c == L'[' || c == L']';
}

// The host in lower case and the port ("80" when none is named) of an authority of
// AuthorityCharacter only; none when the port is not digits.
struct HostPort {
    std::string host;
    std::string port;
};

std::optional<HostPort> SplitAuthority(std::string_view authority) {
    // An IPv6 host holds colons of its own, inside its brackets.
    const size_t close = authority.rfind(']');
    const size_t colon = authority.rfind(':');
    HostPort parts;
    if (colon != std::string_view::npos && (close == std::string_view::npos || colon > close)) {
        parts.host = std::string(authority.substr(0, colon));
        parts.port = std::string(authority.substr(colon + 1));
    } else {
        parts.host = std::string(authority);
        parts.port = "80";
    }
    if (parts.host.empty() || parts.port.empty() ||
        parts.port.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return parts;
}

// The authority of an http address, lower-cased: the text after "http://" up to the end or the
// first "/", "?" or "#"; none for another scheme or a character that has no place in a host and
// port.
std::optional<std::string> HttpAuthority(std::wstring_view address) {
    if (address.size() < kHttp.size()) {
        return std::nullopt;
    }
    for (size_t i = 0; i < kHttp.size(); ++i) {
        if (!Ascii(address[i]) || LowerAscii(address[i]) != kHttp[i]) {
            return std::nullopt;
        }
    }
    std::string authority;
    for (size_t i = kHttp.size(); i < address.size(); ++i) {
        const wchar_t c = address[i];
        if (c == L'/' || c == L'?' || c == L'#') {
            break;
        }
        if (!AuthorityCharacter(c)) {
            return std::nullopt;
        }
        authority += LowerAscii(c);
    }
    return authority;
}

}  // namespace

std::optional<std::string> PickedWallpaperId(std::string_view address) {
    const size_t marker = address.find(kNewDesktopMarker);
    if (marker == std::string_view::npos) {
        return std::nullopt;
    }
    const size_t idStart = marker + kNewDesktopMarker.size();
    const size_t idEnd = address.find(')', idStart);
    if (idEnd == std::string_view::npos) {
        return std::string();
    }
    return std::string(address.substr(idStart, idEnd - idStart));
}

bool IsServicePage(std::wstring_view address, std::string_view serviceOrigin) {
    const std::wstring origin(serviceOrigin.begin(), serviceOrigin.end());
    const std::optional<std::string> serviceAuthority = HttpAuthority(origin);
    const std::optional<std::string> authority = HttpAuthority(address);
    if (!serviceAuthority || !authority) {
        return false;
    }
    const std::optional<HostPort> service = SplitAuthority(*serviceAuthority);
    const std::optional<HostPort> target = SplitAuthority(*authority);
    return service && target && service->host == target->host && service->port == target->port;
}

PickerNavigation DecidePickerNavigation(std::string_view ansiAddress, std::wstring_view address,
                                        std::string_view serviceOrigin) {
    if (std::optional<std::string> id = PickedWallpaperId(ansiAddress)) {
        return {PickerNavigation::Action::Pick, std::move(*id)};
    }
    if (IsServicePage(address, serviceOrigin)) {
        return {PickerNavigation::Action::Follow, {}};
    }
    return {};
}

bool IsBrowserErrorPage(std::string_view address) {
    return address.find("res://") != std::string_view::npos &&
           address.find("dll") != std::string_view::npos;
}

bool IsConnectionFailure(int32_t status) {
    constexpr uint32_t kDownloadErrors = 0x800C0000u;
    return (status >= 400 && status <= 599) ||
           (static_cast<uint32_t>(status) & 0xFFFF0000u) == kDownloadErrors;
}
