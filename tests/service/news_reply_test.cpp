#include "service/news_reply.h"

#include <gtest/gtest.h>

namespace {

using Outcome = NewsReply::Outcome;

// A code page that holds the first 256 code points as Latin-1 does, and hiragana "a" as two bytes
// as Shift-JIS does.
std::string TestCodePage(char32_t c) {
    if (c <= 0xFF) {
        return std::string(1, char(c));
    }
    return c == 0x3042 ? "\x82\xA0" : "?";
}

NewsReply Parse(const std::string& reply) {
    return ParseNewsReply(reply, TestCodePage);
}

std::string Item(const std::string& message, const std::string& url, const std::string& type) {
    return "<news><message>" + message + "</message><url>" + url + "</url><type>" + type +
           "</type></news>";
}

TEST(ParseNewsReply, TakesEveryNewsElementAtAnyDepthInDocumentOrder) {
    const NewsReply parsed = Parse(
        "<?xml version=\"1.0\"?><anything a=\"1 &amp; &#233;\">" +
        Item("one", "http://h/1", "INFO") + "<deeper><x>" + Item("two", "http://h/2", "") +
        "</x></deeper>" + Item("three &amp; <b>bold</b>", "http://h/3", "UPDATE") + "</anything>");
    ASSERT_EQ(parsed.outcome, Outcome::Read);
    ASSERT_EQ(parsed.items.size(), 3u);
    EXPECT_EQ(parsed.items[0].message, "one");
    EXPECT_EQ(parsed.items[1].url, "http://h/2");
    EXPECT_EQ(parsed.items[1].type, "");
    EXPECT_EQ(parsed.items[2].message, "three & bold") << "the text of every child joined";
    EXPECT_TRUE(NewsReplyMessages(parsed, "").empty());
}

TEST(ParseNewsReply, NoNewsIsAValidReply) {
    for (const char* reply : {"<newsreply/>", "<newsreply><other>x</other></newsreply>",
                              "\r\n<!-- note --> <newsreply/>\r\n\t<?done?>"}) {
        const NewsReply parsed = Parse(reply);
        EXPECT_EQ(parsed.outcome, Outcome::Read) << reply;
        EXPECT_TRUE(parsed.items.empty()) << reply;
    }
}

TEST(ParseNewsReply, TheFirstChildOfEachNameCountsAndTextsStayAsWritten) {
    const NewsReply parsed = Parse(
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
        const NewsReply parsed = Parse(reply);
        EXPECT_EQ(parsed.outcome, c.outcome) << c.incomplete;
        ASSERT_EQ(parsed.items.size(), 1u) << c.incomplete;
        EXPECT_EQ(parsed.items[0].message, "first");
        EXPECT_EQ(NewsReplyMessages(parsed, reply), std::vector<std::string>{c.message});
    }
}

TEST(ParseNewsReply, TextThatIsNotWellFormedXmlIsAParseError) {
    const std::string replies[] = {
        "",
        "  \r\n",
        "error",
        "<newsreply><news>",
        "<a></b>",
        "<?xml version=\"1.0\"?>",
        // References: only well-formed ones to characters XML allows.
        "<r>fish & chips</r>",
        "<r>&amp</r>",
        "<r>&foo;</r>",
        "<r>&AMP;</r>",
        "<r>&#;</r>",
        "<r>&#x;</r>",
        "<r>&#X41;</r>",
        "<r>&#65x;</r>",
        "<r>&#0;</r>",
        "<r>&#1;</r>",
        "<r>&#xD800;</r>",
        "<r>&#xDFFF;</r>",
        "<r>&#xFFFE;</r>",
        "<r>&#x110000;</r>",
        "<r>&#4294967361;</r>",
        "<r a=\"&foo;\"/>",
        "<r a=\"x & y\"/>",
        // One root element with nothing but blanks, comments and instructions around it.
        "<a/><b/>",
        "text<a/>",
        "<a/>text",
        "<a/>\xA0",
        "<![CDATA[x]]><a/>",
        std::string("<a/>\0<b/>", 9),
    };
    for (const std::string& reply : replies) {
        const NewsReply parsed = Parse(reply);
        EXPECT_EQ(parsed.outcome, Outcome::ParseError) << reply;
        EXPECT_EQ(
            NewsReplyMessages(parsed, reply),
            std::vector<std::string>{"Error download news (invalid XML received; parser error!)"});
    }
    EXPECT_EQ(NewsReplyMessages(NewsReply{}, "<x/>"),
              (std::vector<std::string>{"Error reading news nodes", "<x/>"}));
}

TEST(ParseNewsReply, ReferencesBecomeTextInTheAnsiCodePage) {
    const struct {
        std::string written;
        std::string text;
    } cases[] = {
        {"&amp;&lt;&gt;&quot;&apos;", "&<>\"'"},
        {"&#65;&#x42;&#x0063;&#0000100;&#9;", "ABcd\t"},
        {"caf&#233; &#xE9;&#xe9;", "caf\xE9 \xE9\xE9"},
        {"&#x3042;", "\x82\xA0"},
        {"&#x20AC;&#xD7FF;&#xE000;&#xFFFD;&#x10000;&#x10FFFF;", "??????"},
        {"\xE9\x80\xFF as written", "\xE9\x80\xFF as written"},
        {"<![CDATA[&amp; & &#233;]]>&#33;<!-- & -->", "&amp; & &#233;!"},
    };
    for (const auto& c : cases) {
        std::vector<char32_t> converted;
        const NewsReply parsed = ParseNewsReply(
            "<r>" + Item(c.written, "http://h/?a=1&amp;b=&#50;", "&#85;PDATE") + "</r>",
            [&](char32_t codePoint) {
                converted.push_back(codePoint);
                return TestCodePage(codePoint);
            });
        ASSERT_EQ(parsed.outcome, Outcome::Read) << c.written;
        ASSERT_EQ(parsed.items.size(), 1u);
        EXPECT_EQ(parsed.items[0].message, c.text) << c.written;
        EXPECT_EQ(parsed.items[0].url, "http://h/?a=1&b=2");
        EXPECT_TRUE(IsUpdateNotice(parsed.items[0]));
        for (const char32_t codePoint : converted) {
            EXPECT_GE(codePoint, 0x80u) << "ASCII needs no converter: " << c.written;
        }
    }
}

TEST(ParseNewsReply, EmptyAndBlankMessagesAreEmpty) {
    const NewsReply parsed = Parse("<r>" + Item("", "http://h/1", "UPDATE") +
                                   "<news><message>  </message><url/><type/></news></r>");
    ASSERT_EQ(parsed.items.size(), 2u);
    EXPECT_EQ(parsed.items[0].message, "");
    EXPECT_EQ(parsed.items[1].message, "")
        << "white space alone is no text, as an XML DOM reads it";
}

}  // namespace
