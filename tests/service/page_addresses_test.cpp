#include "service/page_addresses.h"

#include <gtest/gtest.h>

#include <string>

TEST(EncodeQueryValue, KeepsTheUnreservedAndEncodesTheRest) {
    EXPECT_EQ(EncodeQueryValue("ann.lee@example.com"), "ann.lee@example.com");
    EXPECT_EQ(EncodeQueryValue("a b"), "a+b");
    EXPECT_EQ(EncodeQueryValue("!$'()*-._"), "!$'()*-._");
    EXPECT_EQ(EncodeQueryValue("&/~+=?#%"), "%26%2F%7E%2B%3D%3F%23%25");
    EXPECT_EQ(EncodeQueryValue("\xe9\x01\x7f"), "%E9%01%7F");
    EXPECT_EQ(EncodeQueryValue(std::string("a\0b", 3)), "a%00b");
    EXPECT_EQ(LoginPath("a b@c.d", "p&w"), "/actions/login.php?un=a+b@c.d&pw=p%26w");
}

TEST(ParseOkReply, OkAnywhereAcceptsAndTheRestIsTheIdUnchanged) {
    EXPECT_EQ(ParseOkReply("[OK]4711").id, "4711");
    EXPECT_TRUE(ParseOkReply("abc[OK]4711").accepted);
    EXPECT_EQ(ParseOkReply("abc[OK]4711").id, "4711");
    EXPECT_EQ(ParseOkReply("[OK]4711\r\n").id, "4711\r\n");
    EXPECT_EQ(ParseOkReply("[OK]1[OK]2").id, "1[OK]2");
    const OkReply bare = ParseOkReply("[OK]");
    EXPECT_TRUE(bare.accepted);
    EXPECT_EQ(bare.id, "");
    EXPECT_FALSE(ParseOkReply("OK").accepted);
    EXPECT_FALSE(ParseOkReply("").accepted);
    EXPECT_FALSE(ParseOkReply("[ok]1").accepted);
}
