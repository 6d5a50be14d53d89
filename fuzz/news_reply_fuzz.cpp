// The news reply, as the service (or anyone on the way) may send it: parsing is deterministic,
// only a reply read (to its end or to an incomplete item) has items, nothing may follow the root
// element, and texts written with escapes and references into a well-formed reply come back
// exactly.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "service/news_reply.h"

namespace {

// A code page holding the first 256 code points, as Latin-1 does; every call must be for a
// character beyond ASCII that XML allows.
std::string Latin1(char32_t c) {
    FUZZ_CHECK(c >= 0x80 && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF));
    return c <= 0xFF ? std::string(1, char(c)) : "?";
}

NewsReply Parse(const std::string& reply) {
    return ParseNewsReply(reply, Latin1);
}

bool SameItems(const std::vector<NewsItem>& a, const std::vector<NewsItem>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].message != b[i].message || a[i].url != b[i].url || a[i].type != b[i].type) {
            return false;
        }
    }
    return true;
}

bool IsXmlBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Whether XML allows the byte as a character of the text; ANSI bytes from 128 on are all allowed.
bool IsTextByte(uint8_t c) {
    return c >= 0x20 || c == '\t' || c == '\n' || c == '\r';
}

// How the text is written: bit 0 writes the bytes from 128 on as character references, bit 1
// writes references in hexadecimal, bit 2 writes letters and digits as references too.
std::string Written(const std::string& text, uint8_t form) {
    const auto reference = [form](uint8_t c) {
        static const char kHex[] = "0123456789ABCDEF";
        if (form & 2) {
            return std::string("&#x") + kHex[c >> 4] + kHex[c & 15] + ";";
        }
        return "&#" + std::to_string(c) + ";";
    };
    std::string written;
    for (const char byte : text) {
        const uint8_t c = uint8_t(byte);
        const bool alphanumeric =
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (c == '&') {
            written += "&amp;";
        } else if (c == '<') {
            written += "&lt;";
        } else if (c == '>') {
            written += "&gt;";
        } else if (c == '"') {
            written += "&quot;";
        } else if (c == '\'') {
            written += "&apos;";
        } else if (c == '\r' || (c >= 0x80 && (form & 1)) || (alphanumeric && (form & 4))) {
            written += reference(c);  // a raw CR would become a line end
        } else {
            written += byte;
        }
    }
    return written;
}

// The text an XML DOM reads from a text node written so: blank text is none.
std::string DomText(const std::string& text, const std::string& written) {
    for (const char c : written) {
        if (!IsXmlBlank(c)) {
            return text;
        }
    }
    return "";
}

// The input after the first byte, split at NUL bytes into message, url and type, without the
// bytes that XML does not allow.
std::vector<std::string> Texts(const uint8_t* data, size_t size) {
    std::vector<std::string> texts(3);
    size_t index = 0;
    for (size_t i = 1; i < size && index < texts.size(); ++i) {
        if (data[i] == 0) {
            ++index;
        } else if (IsTextByte(data[i])) {
            texts[index] += char(data[i]);
        }
    }
    return texts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using Outcome = NewsReply::Outcome;
    const std::string reply(reinterpret_cast<const char*>(data), size);
    const NewsReply parsed = Parse(reply);
    const NewsReply again = Parse(reply);
    FUZZ_CHECK(parsed.outcome == again.outcome && SameItems(parsed.items, again.items));
    if (parsed.outcome == Outcome::ParseError || parsed.outcome == Outcome::Unreadable) {
        FUZZ_CHECK(parsed.items.empty());
    }
    FUZZ_CHECK(NewsReplyMessages(parsed, reply).empty() == (parsed.outcome == Outcome::Read));
    if (parsed.outcome != Outcome::ParseError) {
        FUZZ_CHECK(Parse(reply + "x").outcome == Outcome::ParseError);
    }

    if (size == 0) {
        return 0;
    }
    const std::vector<std::string> texts = Texts(data, size);
    std::vector<std::string> written;
    for (const std::string& text : texts) {
        written.push_back(Written(text, data[0]));
    }
    const NewsReply envelope = Parse("<?xml version=\"1.0\"?>\r\n<newsreply>\r\n<news><message>" +
                                     written[0] + "</message><url>" + written[1] + "</url><type>" +
                                     written[2] + "</type></news>\r\n</newsreply>\r\n");
    FUZZ_CHECK(envelope.outcome == Outcome::Read);
    FUZZ_CHECK(envelope.items.size() == 1);
    FUZZ_CHECK(envelope.items[0].message == DomText(texts[0], written[0]));
    FUZZ_CHECK(envelope.items[0].url == DomText(texts[1], written[1]));
    FUZZ_CHECK(envelope.items[0].type == DomText(texts[2], written[2]));
    return 0;
}
