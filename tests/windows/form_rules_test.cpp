// The rules of the windows the user types into, apart from the windows.

#include <gtest/gtest.h>

#include "windows/keep_days_choice.h"
#include "windows/proxy_entry.h"

namespace {

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

}  // namespace
