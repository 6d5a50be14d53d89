#include "app/menu_state.h"

namespace {

// The caption in lower case without its first "&".
std::string CaptionKey(std::string_view caption) {
    std::string key(caption);
    const size_t ampersand = key.find('&');
    if (ampersand != std::string::npos) {
        key.erase(ampersand, 1);
    }
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return key;
}

}  // namespace

bool HasCurrentWallpaper(const std::string& curdesktopid) {
    return !curdesktopid.empty() && curdesktopid != "0";
}

bool MenuItemEnabled(std::string_view caption, bool signedIn, bool hasWallpaper) {
    const std::string key = CaptionKey(caption);
    const bool wallpaperItem = key == "keep this murlo..." || key == "mail this murlo...";
    if (key == "settings..." || key == "help!") {
        return true;
    }
    if (key == "sign in...") {
        return !signedIn;
    }
    if (wallpaperItem) {
        return signedIn && hasWallpaper;
    }
    return signedIn;
}
