#pragma once
// Reading the service's answer to a news request: the news items in the reply's order, or the
// point where the reply stopped making sense.

#include <functional>
#include <string>
#include <vector>

// One item as the reply gives it, each text exactly as written (nothing trimmed).
struct NewsItem {
    std::string message;  // empty: the item is not shown
    std::string url;
    std::string type;  // "UPDATE" marks a client update notice
};

struct NewsReply {
    enum class Outcome {
        Read,  // every item read
        ParseError,
        Unreadable,  // the list of items could not be taken
        MissingMessage,
        MissingUrl,
        MissingType,
    };
    Outcome outcome = Outcome::Unreadable;
    // The items before the first incomplete one, which are still acted on in order.
    std::vector<NewsItem> items;
};

// One character of a reply's character reference in the system's ANSI code page: its bytes, or
// "?" for a character that the code page cannot hold.
using AnsiFromCodePoint = std::function<std::string(char32_t)>;

// Every "news" element at any depth, in document order; the root's name is not checked and
// attributes are ignored. The reply must be well-formed XML, as an XML DOM demands it. Its bytes
// are text in the ANSI code page and stay as they are; a character reference becomes its ASCII
// byte, or (from 128 on) what toAnsi makes of it.
NewsReply ParseNewsReply(const std::string& reply, const AnsiFromCodePoint& toAnsi);

// What the user is told, in order, when the reply was not read to its end.
std::vector<std::string> NewsReplyMessages(const NewsReply& parsed, const std::string& reply);

// A link as a popup carries it: without blanks and control characters at either end.
std::string NewsLink(const NewsItem& item);

// Whether the item announces a client update; the type is compared exactly, case and all.
bool IsUpdateNotice(const NewsItem& item);
