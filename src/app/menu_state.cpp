#include "app/menu_state.h"

#include "components/notify_popup_rules.h"
#include "settings/text_convert.h"

namespace {

// The caption in lower case without its first "&".
std::string CaptionKey(std::string_view caption) {
    std::string key = LowerCase(caption);
    const size_t ampersand = key.find('&');
    if (ampersand != std::string::npos) {
        key.erase(ampersand, 1);
    }
    return key;
}

// "www.placeholder.invalid": the host part of the placeholder address.
std::string_view PlaceholderHost() {
    std::string_view host = PlaceholderUrl;
    host.remove_prefix(host.find("//") + 2);
    return host.substr(0, host.find('/'));
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

NotificationLinkAction DecideNotificationLink(std::string_view link, std::string_view updatelink) {
    NotificationLinkAction action;
    action.address = LowerCase(TrimBlanks(link));
    if (!IsWebAddress(action.address) ||
        action.address.find(PlaceholderHost()) != std::string::npos) {
        return action;
    }
    action.open = true;
    // The update link is kept as the service wrote it, blanks around it and all, while the
    // popup carries it trimmed: compared untrimmed, such an update would never end the program.
    action.endProgram = action.address == LowerCase(TrimBlanks(updatelink));
    return action;
}
