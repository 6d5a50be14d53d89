#pragma once
// Which tray menu items are enabled. Items are recognised by their captions.

#include <string>
#include <string_view>

// Whether a current wallpaper is known: curdesktopid is neither empty nor "0".
bool HasCurrentWallpaper(const std::string& curdesktopid);

// The enabled state of one of the items that the state rules cover (all but the first two and
// the last of the menu).
bool MenuItemEnabled(std::string_view caption, bool signedIn, bool hasWallpaper);

// What a click on a notification's link does: the trimmed, lower-cased link is opened when it is
// a web address that does not hold the placeholder host; the update link also ends the program.
struct NotificationLinkAction {
    bool open = false;
    std::string address;
    bool endProgram = false;
};
NotificationLinkAction DecideNotificationLink(std::string_view link, std::string_view updatelink);
