#include "service/news_reply.h"

#include <pugixml.hpp>

#include <charconv>
#include <cstdint>
#include <exception>
#include <new>
#include <optional>
#include <string_view>

#include "service/xpath_string.h"
#include "settings/text_convert.h"

namespace {

using Outcome = NewsReply::Outcome;

// The characters XML 1.0 lets a document hold.
bool IsXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// The character a reference names (what stands between "&" and ";"): one of the five predefined
// entities, or a decimal or ("#x") hexadecimal character reference to a character XML allows.
// Nothing for any other name.
std::optional<char32_t> ReferencedChar(std::string_view name) {
    static constexpr struct {
        std::string_view name;
        char32_t c;
    } kEntities[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& entity : kEntities) {
        if (name == entity.name) {
            return entity.c;
        }
    }
    if (name.empty() || name[0] != '#') {
        return std::nullopt;
    }
    const bool hex = name.size() > 1 && name[1] == 'x';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    const char* const end = digits.data() + digits.size();
    uint32_t c = 0;
    const std::from_chars_result number = std::from_chars(digits.data(), end, c, hex ? 16 : 10);
    if (number.ec != std::errc() || number.ptr != end || !IsXmlChar(c)) {
        return std::nullopt;
    }
    return c;
}

// The text with each reference replaced by its character in the ANSI code page; nothing when an
// "&" does not start a well-formed reference.
std::optional<std::string> DecodedText(std::string_view text, const AnsiFromCodePoint& toAnsi) {
    std::string decoded;
    size_t done = 0;
    for (size_t amp = text.find('&'); amp != std::string_view::npos; amp = text.find('&', done)) {
        const size_t end = text.find(';', amp);
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        const std::optional<char32_t> c = ReferencedChar(text.substr(amp + 1, end - amp - 1));
        if (!c) {
            return std::nullopt;
        }
        decoded.append(text.substr(done, amp - done));
        if (*c < 0x80) {
            decoded += char(*c);  // the same in every ANSI code page
        } else {
            decoded += toAnsi(*c);
        }
        done = end + 1;
    }
    decoded.append(text.substr(done));
    return decoded;
}

// Decodes the references of every text node in place, before XPath reads the texts; stops at the
// first malformed one, in a text or in an attribute value.
class ReferenceDecoder : public pugi::xml_tree_walker {
  public:
    explicit ReferenceDecoder(const AnsiFromCodePoint& toAnsi) : toAnsi_(toAnsi) {}

    bool for_each(pugi::xml_node& node) override {
        for (const pugi::xml_attribute& attribute : node.attributes()) {
            if (!DecodedText(attribute.value(), toAnsi_)) {
                return false;
            }
        }
        if (node.type() != pugi::node_pcdata) {
            return true;  // CDATA is taken literally
        }
        const std::optional<std::string> text = DecodedText(node.value(), toAnsi_);
        if (!text) {
            return false;
        }
        if (!node.set_value(text->c_str())) {
            throw std::bad_alloc();
        }
        return true;
    }

  private:
    const AnsiFromCodePoint& toAnsi_;
};

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

// Loads a well-formed reply with its references decoded; false for anything else.
bool LoadWellFormed(pugi::xml_document& document, const std::string& reply,
                    const AnsiFromCodePoint& toAnsi) {
    // XML has no NUL character, and pugixml would take one for the end of the reply.
    if (reply.find('\0') != std::string::npos) {
        return false;
    }
    // Taken byte for byte: the reply is text in the system's code page, not converted. References
    // stay as written for ReferenceDecoder (pugixml passes over malformed ones and would decode to
    // UTF-8). As a fragment the text around the root element is kept, though blank text, comments
    // and processing instructions are not, so the root element is a well-formed reply's only node
    // at the top.
    const unsigned options = pugi::parse_cdata | pugi::parse_eol | pugi::parse_fragment;
    if (!document.load_buffer(reply.data(), reply.size(), options, pugi::encoding_utf8)) {
        return false;
    }
    const pugi::xml_node root = document.first_child();
    if (!root || root.type() != pugi::node_element || root.next_sibling()) {
        return false;
    }
    ReferenceDecoder decoder(toAnsi);
    return document.traverse(decoder);
}

NewsReply Parse(const std::string& reply, const AnsiFromCodePoint& toAnsi) {
    NewsReply parsed;
    pugi::xml_document document;
    if (!LoadWellFormed(document, reply, toAnsi)) {
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

NewsReply ParseNewsReply(const std::string& reply, const AnsiFromCodePoint& toAnsi) {
    try {
        return Parse(reply, toAnsi);
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
