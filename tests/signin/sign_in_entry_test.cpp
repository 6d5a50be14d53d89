// What the sign-in window checks and shows, apart from the window.

#include "signin/sign_in_entry.h"

#include <gtest/gtest.h>

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

}  // namespace
