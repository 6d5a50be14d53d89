#include "service/wallpaper_reply.h"

#include <gtest/gtest.h>

using Outcome = WallpaperReply::Outcome;

TEST(ParseWallpaperReply, TakesUrlIdAndTypeOfTheFirstMatches) {
    const WallpaperReply parsed = ParseWallpaperReply(
        "<reply><url>http://h/w/1004.jpg</url><id>1004</id><type>jpg</type>"
        "<url>http://h/other</url></reply>");
    EXPECT_EQ(parsed.outcome, Outcome::Download);
    EXPECT_EQ(parsed.url, "http://h/w/1004.jpg");
    EXPECT_EQ(parsed.id, "1004");
    EXPECT_EQ(parsed.type, "jpg");
}

TEST(ParseWallpaperReply, FindsTheElementsAnywhereAndIgnoresTheRootNameAndTakesThemUnchanged) {
    const WallpaperReply parsed = ParseWallpaperReply(
        "<?xml version=\"1.0\"?><answer a=\"1\"><x><reply><type>PNG</type>\n<id> 7 </id>"
        "<url>\n http://h/7.png \n</url></reply></x></answer>");
    EXPECT_EQ(parsed.outcome, Outcome::Download);
    EXPECT_EQ(parsed.url, "\n http://h/7.png \n");
    EXPECT_EQ(parsed.id, " 7 ");
    EXPECT_EQ(parsed.type, "PNG");
}

TEST(ParseWallpaperReply, AnErrorCodeWinsOverEverythingElse) {
    const WallpaperReply parsed =
        ParseWallpaperReply("<reply><url>http://h/1</url><errorcode>3</errorcode></reply>");
    EXPECT_EQ(parsed.outcome, Outcome::ServiceError);
    EXPECT_EQ(parsed.errorCode, 3);
    EXPECT_EQ(WallpaperReplyMessage(parsed, ""), "");
}

TEST(ParseWallpaperReply, ATypeThatIsNoPictureKindNorUrlIsUnreadable) {
    // A name too long for a file, too.
    const std::string tooLong(250, 'j');
    for (const char* type : {"lnk",
                             "scf",
                             "LNK",
                             "url ",
                             "exe",
                             "html",
                             "JPEG2000",
                             "",
                             "x\\..\\..\\Startup\\run",
                             "../x",
                             "jpg:stream",
                             "a|b",
                             "jp g",
                             ".jpg",
                             "jpg.",
                             "c:",
                             "\xE9",
                             "x*",
                             "x%00",
                             tooLong.c_str()}) {
        const WallpaperReply parsed = ParseWallpaperReply(
            std::string("<reply><url>http://h/1</url><id>1</id><type>") + type + "</type></reply>");
        EXPECT_EQ(parsed.outcome, Outcome::Unreadable) << type;
        EXPECT_EQ(WallpaperReplyMessage(parsed, ""), WallpaperReplyMessage(WallpaperReply{}, ""));
    }
    for (const char* type :
         {"bmp", "dib", "GIF", "jpg", "JPEG", "jpe", "jfif", "Png", "tif", "tiff", "url", "URL"}) {
        EXPECT_EQ(ParseWallpaperReply(std::string("<reply><url>u</url><id>1</id><type>") + type +
                                      "</type></reply>")
                      .outcome,
                  Outcome::Download)
            << type;
    }
}

TEST(WallpaperReplyMessage, TellsWhatIsMissingWithTheWholeReply) {
    const std::string noUrl = "<reply><id>1</id><type>jpg</type></reply>";
    EXPECT_EQ(WallpaperReplyMessage(ParseWallpaperReply(noUrl), noUrl),
              "Given download URL is empty!!!, reply was " + noUrl);
    const std::string noId = "<reply><url>u</url><type>jpg</type></reply>";
    EXPECT_EQ(WallpaperReplyMessage(ParseWallpaperReply(noId), noId),
              "Given currentdesktopid is empty!!!, reply was " + noId);
    const std::string noType = "<reply><url>u</url><id>1</id></reply>";
    EXPECT_EQ(WallpaperReplyMessage(ParseWallpaperReply(noType), noType),
              "Missing wallpaper filetype!!!, reply was " + noType);
}

TEST(WallpaperReplyMessage, TextThatIsNotXmlIsAParseError) {
    for (const char* reply : {"error", "", "<reply><url>", "<reply></x>", "[OK]1"}) {
        EXPECT_EQ(WallpaperReplyMessage(ParseWallpaperReply(reply), reply),
                  "Error parsing server response. please try again later")
            << reply;
    }
    EXPECT_EQ(WallpaperReplyMessage(WallpaperReply{}, "x"),
              "There was an error while parsing the server response, please try again later "
              "(sorry!)\r\nError code: 1");
}

TEST(WallpaperFileName, OnlyUrlInAnyCaseChangesTheExtension) {
    EXPECT_EQ(WallpaperFileName("URL"), "wallpaper.html");
    EXPECT_EQ(WallpaperFileName("uRl"), "wallpaper.html");
    EXPECT_EQ(WallpaperFileName("JPG"), "wallpaper.JPG");
    EXPECT_EQ(WallpaperFileName("urls"), "wallpaper.urls");
}
