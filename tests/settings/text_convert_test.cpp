#include "settings/text_convert.h"

#include <gtest/gtest.h>

TEST(SafeStrToInt, ReadsDecimalWithSign) {
    EXPECT_EQ(SafeStrToInt("8080"), 8080);
    EXPECT_EQ(SafeStrToInt("-5"), -5);
    EXPECT_EQ(SafeStrToInt("+17"), 17);
    EXPECT_EQ(SafeStrToInt("007"), 7);
}

TEST(SafeStrToInt, ReadsHexadecimalAfterEveryPrefix) {
    EXPECT_EQ(SafeStrToInt("$1F"), 31);
    EXPECT_EQ(SafeStrToInt("x1f"), 31);
    EXPECT_EQ(SafeStrToInt("0x1F"), 31);
    EXPECT_EQ(SafeStrToInt("0X10"), 16);
    EXPECT_EQ(SafeStrToInt("-$10"), -16);
    EXPECT_EQ(SafeStrToInt("$7FFFFFFF"), 2147483647);
}

TEST(SafeStrToInt, TrimsBlanksAndControlCharactersAroundTheNumber) {
    EXPECT_EQ(SafeStrToInt(" 3128 "), 3128);
    EXPECT_EQ(SafeStrToInt("\t\r\n42\x01\x1f"), 42);
}

TEST(SafeStrToInt, GivesZeroForTextThatIsNotWhollyANumber) {
    EXPECT_EQ(SafeStrToInt(""), 0);
    EXPECT_EQ(SafeStrToInt("   "), 0);
    EXPECT_EQ(SafeStrToInt("abc"), 0);
    EXPECT_EQ(SafeStrToInt("31a28"), 0);
    EXPECT_EQ(SafeStrToInt("12abc"), 0);
    EXPECT_EQ(SafeStrToInt("- 5"), 0);
    EXPECT_EQ(SafeStrToInt("-"), 0);
    EXPECT_EQ(SafeStrToInt("$"), 0);
    EXPECT_EQ(SafeStrToInt("0x"), 0);
    EXPECT_EQ(SafeStrToInt("$1G"), 0);
    EXPECT_EQ(SafeStrToInt("1 2"), 0);
}

TEST(SafeStrToInt, KeepsToSigned32Bits) {
    EXPECT_EQ(SafeStrToInt("2147483647"), 2147483647);
    EXPECT_EQ(SafeStrToInt("2147483648"), 0);
    EXPECT_EQ(SafeStrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(SafeStrToInt("-2147483649"), 0);
    EXPECT_EQ(SafeStrToInt("$80000000"), 0);
    EXPECT_EQ(SafeStrToInt("99999999999999999999999"), 0);
}

TEST(TrimBlanks, RemovesOnlyTheEnds) {
    EXPECT_EQ(TrimBlanks("  a b \r\n"), "a b");
    EXPECT_EQ(TrimBlanks("\x7f"), "\x7f");
    EXPECT_EQ(TrimBlanks("\xe9 "), "\xe9");
    EXPECT_EQ(TrimBlanks(" \t "), "");
}
