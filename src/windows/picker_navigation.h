#pragma once
// What the picker makes of the addresses and failed navigations its browser control reports.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The thumbnail page links a wallpaper as an address holding this marker, the wallpaper's id and
// a closing parenthesis.
inline constexpr std::string_view kNewDesktopMarker = "cmdnewdesktopid(";

// The id a navigation picks: the text from the end of the first marker (case-sensitive) to the
// next ")", or empty when no ")" follows. None when the address holds no marker.
std::optional<std::string> PickedWallpaperId(std::string_view address);

// Whether the address is a page of the service: "http://" and exactly the host and port of
// serviceOrigin ("http://host:port", port 80 when an address names none; scheme and host in any
// letter case), then the end or "/", "?" or "#". Anything else in the authority (user names,
// other characters, characters outside ASCII) makes it another address.
bool IsServicePage(std::wstring_view address, std::string_view serviceOrigin);

// What the picker does with a navigation of its browser control.
struct PickerNavigation {
    enum class Action { Pick, Follow, Cancel };
    Action action = Action::Cancel;
    std::string id;  // the picked wallpaper's, for Pick
};

// The marker first, in the address as the client's text (ansiAddress): a pick. Otherwise the
// page may go on through the service's own pages (address as the control reports it, which
// the client's code page may not hold), and nowhere else.
PickerNavigation DecidePickerNavigation(std::string_view ansiAddress, std::wstring_view address,
                                        std::string_view serviceOrigin);

// The browser's own error pages live in its libraries: "res://" and "dll" anywhere in the
// address, both case-sensitive.
bool IsBrowserErrorPage(std::string_view address);

// Whether a failed navigation's status says the page could not be fetched: an HTTP error status
// (400 to 599) or an error of the download itself (the address's host not found, no connection,
// a transfer broken off, ...: 0x800C0000 to 0x800CFFFF). Any other error is the control's own
// with a page it did fetch (a browser without an HTML engine cannot show it) and tells nothing of
// the connection.
bool IsConnectionFailure(int32_t status);
