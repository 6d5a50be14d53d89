#include "service/news_reply.h"

#include <pugixml.hpp>

#include <exception>
#include <optional>

#include "service/xpath_string.h"
#include "settings/text_convert.h"

namespace {

using Outcome = NewsReply::Outcome;

// The text of the item's first child element of that name, all its text nodes joined as an XML
// DOM's text reads them; nothing when the item has no such child.
std::optional<std::string> ChildText(const pugi::xml_node& item, const char* name) {
    const pugi::xml_node child = item.child(name);
    if (!child) {
        return std::nullopt;
    }
    static const pugi::xpath_query text("string(.)");
    return XPathString(text, pugi::xpath_node(child));
}

NewsReply Parse(const std::string& reply) {
    NewsReply parsed;
    pugi::xml_document document;
    // Taken byte for byte: the reply is text in the system's code page, not converted.
    if (!document.load_buffer(reply.data(), reply.size(), pugi::parse_default,
                              pugi::encoding_utf8)) {
        parsed.outcome = Outcome::ParseError;
        return parsed;
    }
    for (const pugi::xpath_node& found : document.select_nodes("//news")) {
        const pugi::xml_node item = found.node();
        const auto message = ChildText(item, "message");
        const auto url = message ? ChildText(item, "url") : std::nullopt;
        const auto type = url ? ChildText(item, "type") : std::nullopt;
        if (!type) {
            parsed.outcome = !message ? Outcome::MissingMessage
                             : !url   ? Outcome::MissingUrl
                                      : Outcome::MissingType;
            return parsed;
        }
        parsed.items.push_back({*message, *url, *type});
    }
    parsed.outcome = Outcome::Read;
    return parsed;
}

}  // namespace

NewsReply ParseNewsReply(const std::string& reply) {
    try {
        return Parse(reply);
    } catch (const std::exception&) {
        return NewsReply{};
    }
}

std::vector<std::string> NewsReplyMessages(const NewsReply& parsed, const std::string& reply) {
    switch (parsed.outcome) {
        case Outcome::ParseError:
            return {"Error download news (invalid XML received; parser error!)"};
        case Outcome::Unreadable:
            return {"Error reading news nodes", reply};
        case Outcome::MissingMessage:
            return {"Error reading a /news/message node"};
        case Outcome::MissingUrl:
            return {"Error reading a /news/url node"};
        case Outcome::MissingType:
            return {"Error reading a /news/type node"};
        case Outcome::Read:
            break;
    }
    return {};
}

std::string NewsLink(const NewsItem& item) {
    return std::string(TrimBlanks(item.url));
}

bool IsUpdateNotice(const NewsItem& item) {
    return item.type == "UPDATE";
}
