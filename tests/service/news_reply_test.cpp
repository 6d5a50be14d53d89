#include "service/news_reply.h"

#include <gtest/gtest.h>

namespace {

using Outcome = NewsReply::Outcome;

std::string Item(const std::string& message, const std::string& url, const std::string& type) {
    return "<news><message>" + message + "</message><url>" + url + "</url><type>" + type +
           "</type></news>";
}

TEST(ParseNewsReply, TakesEveryNewsElementAtAnyDepthInDocumentOrder) {
    const NewsReply parsed = ParseNewsReply(
        "<?xml version=\"1.0\"?><anything a=\"1\">" + Item("one", "http://h/1", "INFO") +
        "<deeper><x>" + Item("two", "http://h/2", "") + "</x></deeper>" +
        Item("three &amp; <b>bold</b>", "http://h/3", "UPDATE") + "</anything>");
    ASSERT_EQ(parsed.outcome, Outcome::Read);
    ASSERT_EQ(parsed.items.size(), 3u);
    EXPECT_EQ(parsed.items[0].message, "one");
    EXPECT_EQ(parsed.items[1].url, "http://h/2");
    EXPECT_EQ(parsed.items[1].type, "");
    EXPECT_EQ(parsed.items[2].message, "three & bold") << "the text of every child joined";
    EXPECT_TRUE(NewsReplyMessages(parsed, "").empty());
}

TEST(ParseNewsReply, NoNewsIsAValidReply) {
    for (const char* reply : {"<newsreply/>", "<newsreply><other>x</other></newsreply>"}) {
        const NewsReply parsed = ParseNewsReply(reply);
        EXPECT_EQ(parsed.outcome, Outcome::Read) << reply;
        EXPECT_TRUE(parsed.items.empty()) << reply;
    }
}

TEST(ParseNewsReply, TheFirstChildOfEachNameCountsAndTextsStayAsWritten) {
    const NewsReply parsed = ParseNewsReply(
        "<r><news><type>UPDATE</type><url> http://h/update \t</url><url>http://h/second</url>"
        "<message>first</message><message>second</message></news></r>");
    ASSERT_EQ(parsed.items.size(), 1u);
    const NewsItem& item = parsed.items[0];
    EXPECT_EQ(item.message, "first");
    EXPECT_EQ(item.url, " http://h/update \t");
    EXPECT_EQ(NewsLink(item), "http://h/update");
    EXPECT_TRUE(IsUpdateNotice(item));
}

TEST(ParseNewsReply, OnlyTheExactTypeUpdateIsAnUpdateNotice) {
    for (const char* type : {"update", "Update", " UPDATE", "UPDATES", ""}) {
        EXPECT_FALSE(IsUpdateNotice({"m", "u", type})) << type;
    }
}

TEST(ParseNewsReply, StopsAtTheFirstIncompleteItemKeepingTheOnesBefore) {
    const struct {
        std::string incomplete;
        Outcome outcome;
        const char* message;
    } cases[] = {
        {"<news><url>u</url><type>t</type></news>", Outcome::MissingMessage,
         "Error reading a /news/message node"},
        {"<news><message>m</message><type>t</type></news>", Outcome::MissingUrl,
         "Error reading a /news/url node"},
        {"<news><message>m</message><url>u</url></news>", Outcome::MissingType,
         "Error reading a /news/type node"},
        // A child must be a direct one.
        {"<news><x><message>m</message></x><url>u</url><type>t</type></news>",
         Outcome::MissingMessage, "Error reading a /news/message node"},
    };
    for (const auto& c : cases) {
        const std::string reply = "<r>" + Item("first", "http://h/1", "INFO") + c.incomplete +
                                  Item("third", "", "") + "</r>";
        const NewsReply parsed = ParseNewsReply(reply);
        EXPECT_EQ(parsed.outcome, c.outcome) << c.incomplete;
        ASSERT_EQ(parsed.items.size(), 1u) << c.incomplete;
        EXPECT_EQ(parsed.items[0].message, "first");
        EXPECT_EQ(NewsReplyMessages(parsed, reply), std::vector<std::string>{c.message});
    }
}

TEST(ParseNewsReply, TextThatIsNotXmlIsAParseError) {
    for (const char* reply :
         {"", "  \r\n", "error", "<newsreply><news>", "<a></b>", "<?xml version=\"1.0\"?>"}) {
        const NewsReply parsed = ParseNewsReply(reply);
        EXPECT_EQ(parsed.outcome, Outcome::ParseError) << reply;
        EXPECT_EQ(
            NewsReplyMessages(parsed, reply),
            std::vector<std::string>{"Error download news (invalid XML received; parser error!)"});
    }
    EXPECT_EQ(NewsReplyMessages(NewsReply{}, "<x/>"),
              (std::vector<std::string>{"Error reading news nodes", "<x/>"}));
}

TEST(ParseNewsReply, EmptyAndBlankMessagesAreEmpty) {
    const NewsReply parsed = ParseNewsReply("<r>" + Item("", "http://h/1", "UPDATE") +
                                            "<news><message>  </message><url/><type/></news></r>");
    ASSERT_EQ(parsed.items.size(), 2u);
    EXPECT_EQ(parsed.items[0].message, "");
    EXPECT_EQ(parsed.items[1].message, "")
        << "white space alone is no text, as an XML DOM reads it";
}

}  // namespace
