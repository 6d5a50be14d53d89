// The rules of the windows the user types into, apart from the windows.

#include <gtest/gtest.h>

#include "ui/layout_rules.h"
#include "signin/sign_in_entry.h"
#include "windows/keep_days_choice.h"
#include "windows/proxy_entry.h"

namespace {

TEST(SignInEntry, AnAddressNeedsADotAndAnAtSignAndThenAPassword) {
    const struct {
        const char* nickname;
        const char* password;
        const char* message;
    } cases[] = {
        {"", "pw", kInvalidEmailMessage},
        {"user@nodot", "pw", kInvalidEmailMessage},
        {"user.no.at", "pw", kInvalidEmailMessage},
        {".@", "pw", ""},
        {"@.", "pw", ""},
        {"a b&c+d<e@murlox.test", "pw", ""},
        {"demo@murlox.test", "", kMissingPasswordMessage},
        {"no address", "", kInvalidEmailMessage},  // the address is checked first
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SignInEntryMessage(c.nickname, c.password), c.message) << c.nickname;
    }
}

TEST(SignInEntry, AFirstRunChecksBothBoxesAndOnlyAutomaticSignInShowsThePassword) {
    const SignInFormValues firstRun = SignInFormOnShow(true, false, false, "", "secret");
    EXPECT_TRUE(firstRun.startWithWindows);
    EXPECT_TRUE(firstRun.autoSignIn);
    EXPECT_EQ(firstRun.password, "");

    const SignInFormValues stored = SignInFormOnShow(false, true, false, "a@b.c", "secret");
    EXPECT_TRUE(stored.startWithWindows);
    EXPECT_FALSE(stored.autoSignIn);
    EXPECT_EQ(stored.username, "a@b.c");
    EXPECT_EQ(stored.password, "");
    EXPECT_EQ(SignInFormOnShow(false, false, true, "a@b.c", "secret").password, "secret");
}

TEST(ProxyEntry, ThePortIsCheckedFirstThenTheHost) {
    const struct {
        const char* host;
        const char* port;
        const char* message;
    } cases[] = {
        {"proxy", "0", kInvalidPortMessage},
        {"proxy", "abc", kInvalidPortMessage},
        {"proxy", "", kInvalidPortMessage},
        {"", "0", kInvalidPortMessage},
        {"proxy", "99999999999", kInvalidPortMessage},
        {"", "8080", kMissingProxyHostMessage},
        {"  \t ", "8080", kMissingProxyHostMessage},
        {"proxy", "-1", ""},
        {"proxy", " 8080 ", ""},
        {"proxy", "70000", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProxyEntryMessage(c.host, c.port), c.message) << c.host << ":" << c.port;
    }
}

TEST(ProxyEntry, TypesMapToTheirListEntriesExactlyAndOnlyHttpHasARealm) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ProxyTypeIndex(ProxyTypeName(i)), i);
    }
    EXPECT_EQ(ProxyTypeName(2), "socks5");
    EXPECT_EQ(ProxyTypeIndex("HTTP"), -1);
    EXPECT_EQ(ProxyTypeIndex("socks"), -1);
    EXPECT_TRUE(ProxyRealmAvailable(0));
    EXPECT_FALSE(ProxyRealmAvailable(1));
    EXPECT_FALSE(ProxyRealmAvailable(2));
}

TEST(KeepDaysChoice, AStoredCountSelectsItsEntryAndNoneAboveTheLast) {
    EXPECT_EQ(KeepDaysSelection(0, 0, 7), 0);
    EXPECT_EQ(KeepDaysSelection(0, 2, 7), 2);
    EXPECT_EQ(KeepDaysSelection(-1, 4, 7), 4);
    EXPECT_EQ(KeepDaysSelection(3, 0, 7), 2);
    EXPECT_EQ(KeepDaysSelection(7, 0, 7), 6);
    EXPECT_EQ(KeepDaysSelection(8, 0, 7), -1);
}

TEST(LayoutRules, CaptionsAreCentredWithTheirOwnRounding) {
    // A button gives the odd spare pixel to the space before its caption.
    EXPECT_EQ(CenteredCaption(75, 19, 20, 13).x, 28);
    EXPECT_EQ(CenteredCaption(75, 19, 20, 13).y, 3);
    EXPECT_EQ(CenteredCaption(74, 18, 20, 13).x, 27);
    // A tab halves each extent on its own: 11 / 2 - 4 / 2 = 3, not (11 - 4) / 2 = 3.5.
    EXPECT_EQ(CenteredTabCaption(10, 11, 4), 13);
    EXPECT_EQ(CenteredTabCaption(0, 10, 5), 3);
    EXPECT_EQ(CenteredTabCaption(0, 3, 5), -1);
    EXPECT_TRUE(ButtonShowsActive(true, true, false));
    EXPECT_TRUE(ButtonShowsActive(false, false, true));
    EXPECT_FALSE(ButtonShowsActive(false, true, true));
    EXPECT_FALSE(ButtonShowsActive(false, false, false));
    EXPECT_TRUE(AcceptsMargin(-1));
    EXPECT_FALSE(AcceptsMargin(-2));
}

}  // namespace
