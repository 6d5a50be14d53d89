#include "app/menu_state.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The captions the rules cover, from "Help!" to the item before "&Exit".
const std::vector<std::string> kCovered = {"Help!",
                                           "",
                                           "My profile...",
                                           "Settings...",
                                           "Keep this MURLO...",
                                           "Mail this MURLO...",
                                           "",
                                           "Sign in...",
                                           "Sign out...",
                                           "",
                                           "Get another MURLO..."};

std::vector<std::string> Enabled(bool signedIn, bool hasWallpaper) {
    std::vector<std::string> enabled;
    for (const std::string& caption : kCovered) {
        if (!caption.empty() && MenuItemEnabled(caption, signedIn, hasWallpaper)) {
            enabled.push_back(caption);
        }
    }
    return enabled;
}

}  // namespace

TEST(MenuItemEnabled, SignedOutLeavesHelpSettingsAndSignIn) {
    for (bool hasWallpaper : {false, true}) {
        EXPECT_EQ(Enabled(false, hasWallpaper),
                  (std::vector<std::string>{"Help!", "Settings...", "Sign in..."}));
    }
}

TEST(MenuItemEnabled, SignedInEnablesAllButSignInAndTheWallpaperItemsNeedAWallpaper) {
    EXPECT_EQ(Enabled(true, false),
              (std::vector<std::string>{"Help!", "My profile...", "Settings...", "Sign out...",
                                        "Get another MURLO..."}));
    EXPECT_EQ(
        Enabled(true, true),
        (std::vector<std::string>{"Help!", "My profile...", "Settings...", "Keep this MURLO...",
                                  "Mail this MURLO...", "Sign out...", "Get another MURLO..."}));
}

TEST(MenuItemEnabled, CaptionsCountInAnyCaseAndWithoutTheirAccelerator) {
    EXPECT_FALSE(MenuItemEnabled("&Sign In...", true, true));
    EXPECT_TRUE(MenuItemEnabled("SETTINGS...", false, false));
    EXPECT_TRUE(MenuItemEnabled("Keep this &murlo...", true, true));
}

TEST(HasCurrentWallpaper, NeitherEmptyNorZero) {
    EXPECT_FALSE(HasCurrentWallpaper(""));
    EXPECT_FALSE(HasCurrentWallpaper("0"));
    EXPECT_TRUE(HasCurrentWallpaper("00"));
    EXPECT_TRUE(HasCurrentWallpaper("1004"));
}

TEST(DecideNotificationLink, OpensTheTrimmedLowerCasedLink) {
    const NotificationLinkAction action =
        DecideNotificationLink("  HTTP://www.Murlox.com/News?ID=4 \r\n", "");
    EXPECT_TRUE(action.open);
    EXPECT_EQ(action.address, "http://www.murlox.com/news?id=4");
    EXPECT_FALSE(action.endProgram);
}

TEST(DecideNotificationLink, OnlyWebAddressesOpen) {
    EXPECT_FALSE(DecideNotificationLink("", "").open);
    EXPECT_FALSE(DecideNotificationLink(" \t", "").open);
    EXPECT_FALSE(DecideNotificationLink("http://WWW.PLACEHOLDER.INVALID/x", "").open);
    // A link from the service never starts a program or opens a file, not even as the update.
    for (const char* link :
         {"C:\\some\\program.exe", "file:///C:/some/program.exe", "\\\\server\\share\\setup.exe",
          "javascript:alert(1)", "ms-settings:", "http:/x", "http://", "xhttp://h/"}) {
        EXPECT_FALSE(DecideNotificationLink(link, link).open) << link;
        EXPECT_FALSE(DecideNotificationLink(link, link).endProgram) << link;
    }
    EXPECT_TRUE(DecideNotificationLink(" HTTPS://h/x ", "").open);
}

TEST(DecideNotificationLink, TheUpdateLinkInAnyCaseEndsTheProgram) {
    const NotificationLinkAction action = DecideNotificationLink(
        " http://www.murlox.com/Update.EXE ", "HTTP://www.murlox.com/update.exe");
    EXPECT_TRUE(action.open);
    EXPECT_TRUE(action.endProgram);
    EXPECT_TRUE(DecideNotificationLink("http://h/setup", " http://h/Setup\t").endProgram)
        << "the update link as the service wrote it, with blanks around";
    EXPECT_FALSE(DecideNotificationLink("http://a/", "http://b/").endProgram);
    EXPECT_FALSE(DecideNotificationLink("", "").endProgram) << "an empty link is no update";
}
