#include "service/xml_messages.h"

#include <gtest/gtest.h>

namespace {

WallpaperRequestValues SampleValues() {
    WallpaperRequestValues values;
    values.nickname = "ann@example.com";
    values.password = "secret";
    values.xres = 1920;
    values.yres = 1080;
    values.currentdesktopid = "0";
    values.cid = "1A2B:3C4D";
    values.gmt = -300;
    return values;
}

}  // namespace

TEST(XmlMessages, GetOneHasItsElementsInOrderWithNothingBetween) {
    EXPECT_EQ(BuildGetOneMessage(SampleValues()),
              "<message><action>GETONE</action><username>ann@example.com</username>"
              "<password>secret</password><xres>1920</xres><yres>1080</yres>"
              "<currentdesktopid>0</currentdesktopid><cid>1A2B:3C4D</cid><gmt>-300</gmt>"
              "</message>");
}

TEST(XmlMessages, GetNewOneNamesTheChosenAndTheCurrentWallpaper) {
    WallpaperRequestValues values = SampleValues();
    values.currentdesktopid = "1004";
    EXPECT_EQ(BuildGetNewOneMessage(values, "1009"),
              "<message><action>GETNEWONE</action><username>ann@example.com</username>"
              "<password>secret</password><xres>1920</xres><yres>1080</yres><new>1009</new>"
              "<current>1004</current><cid>1A2B:3C4D</cid><gmt>-300</gmt></message>");
}

TEST(XmlMessages, GetNewsCarriesTheClientVersion) {
    EXPECT_EQ(BuildGetNewsMessage("ann@example.com", "secret"),
              "<message><action>GETNEWS</action><username>ann@example.com</username>"
              "<password>secret</password><version>1.54</version></message>");
}

TEST(XmlMessages, EscapesEveryValueSoThatMarkupInItSurvives) {
    WallpaperRequestValues values = SampleValues();
    values.password = "a<b&c>\"d'\xe9";
    values.nickname = "</username><x>";
    const std::string message = BuildGetOneMessage(values);
    EXPECT_NE(message.find("<password>a&lt;b&amp;c&gt;&quot;d&apos;\xe9</password>"),
              std::string::npos);
    EXPECT_NE(message.find("<username>&lt;/username&gt;&lt;x&gt;</username>"), std::string::npos);
    EXPECT_NE(BuildGetNewsMessage("n", "&amp;").find("<password>&amp;amp;</password>"),
              std::string::npos);
    EXPECT_NE(
        BuildGetNewsMessage("n", "a\r\nb\rc\td").find("<password>a&#13;\nb&#13;c\td</password>"),
        std::string::npos);
}

TEST(XmlMessages, ComputerIdIsTheZeroPaddedSerialSplitInTwo) {
    EXPECT_EQ(FormatComputerId(0x0000ABCD), "0000:ABCD");
    EXPECT_EQ(FormatComputerId(0x1A2B3C4D), "1A2B:3C4D");
    EXPECT_EQ(FormatComputerId(0xFFFFFFFF), "FFFF:FFFF");
    EXPECT_EQ(FormatComputerId(0), "0000:0000");
}
