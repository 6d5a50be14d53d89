#pragma once
// Which tray menu items are enabled. Items are recognised by their captions.

#include <string>
#include <string_view>

// Whether a current wallpaper is known: curdesktopid is neither empty nor "0".
bool HasCurrentWallpaper(const std::string& curdesktopid);

// The enabled state of one of the items that the state rules cover (all but the first two and
// the last of the menu).
bool MenuItemEnabled(std::string_view caption, bool signedIn, bool hasWallpaper);
