#pragma once
// What the picker makes of the addresses its browser control reports.

#include <optional>
#include <string>
#include <string_view>

// The thumbnail page links a wallpaper as an address holding this marker, the wallpaper's id and
// a closing parenthesis.
inline constexpr std::string_view kNewDesktopMarker = "cmdnewdesktopid(";

// The id a navigation picks: the text from the end of the first marker (case-sensitive) to the
// next ")", or empty when no ")" follows. None when the address holds no marker, so the page
// navigates on.
std::optional<std::string> PickedWallpaperId(std::string_view address);

// The browser's own error pages live in its libraries: "res://" and "dll" anywhere in the
// address, both case-sensitive.
bool IsBrowserErrorPage(std::string_view address);
