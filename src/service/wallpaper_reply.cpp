#include "service/wallpaper_reply.h"

#include <pugixml.hpp>

#include <algorithm>
#include <optional>

#include "service/xpath_string.h"
#include "settings/text_convert.h"

namespace {

using Outcome = WallpaperReply::Outcome;

// The text content of the first element the path selects, with the surrounding white space
// dropped as an XML DOM reads it; nothing when no element matches.
std::optional<std::string> SelectText(const pugi::xml_document& document, const char* path) {
    const pugi::xpath_node match = document.select_node(path);
    if (!match) {
        return std::nullopt;
    }
    const pugi::xpath_query text((std::string("string(") + path + ")").c_str());
    return std::string(TrimBlanks(XPathString(text, document)));
}

// The type becomes part of the file name. Letters and digits alone can never lead into another
// folder, name a stream or a device, or hold a character that no file name may hold; the reply
// comes over plain HTTP, so anyone on the way could have written it.
bool IsSafeFileType(const std::string& type) {
    return std::all_of(type.begin(), type.end(), [](unsigned char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
}

WallpaperReply Parse(const std::string& reply) {
    WallpaperReply parsed;
    pugi::xml_document document;
    // Taken byte for byte: the reply is text in the system's code page, not converted.
    if (!document.load_buffer(reply.data(), reply.size(), pugi::parse_default,
                              pugi::encoding_utf8)) {
        parsed.outcome = Outcome::ParseError;
        return parsed;
    }
    if (const auto code = SelectText(document, "//reply/errorcode")) {
        parsed.outcome = Outcome::ServiceError;
        parsed.errorCode = SafeStrToInt(*code);
        return parsed;
    }
    const auto url = SelectText(document, "//reply/url");
    const auto id = SelectText(document, "//reply/id");
    const auto type = SelectText(document, "//reply/type");
    parsed.outcome = !url                     ? Outcome::MissingUrl
                     : !id                    ? Outcome::MissingId
                     : !type                  ? Outcome::MissingType
                     : !IsSafeFileType(*type) ? Outcome::Unreadable
                                              : Outcome::Download;
    parsed.url = url.value_or("");
    parsed.id = id.value_or("");
    parsed.type = type.value_or("");
    return parsed;
}

}  // namespace

WallpaperReply ParseWallpaperReply(const std::string& reply) {
    try {
        return Parse(reply);
    } catch (const std::exception&) {
        return WallpaperReply{};
    }
}

std::string WallpaperReplyMessage(const WallpaperReply& parsed, const std::string& reply) {
    switch (parsed.outcome) {
        case Outcome::Unreadable:
            return "There was an error while parsing the server response, please try again later "
                   "(sorry!)\r\nError code: 1";
        case Outcome::ParseError:
            return "Error parsing server response. please try again later";
        case Outcome::MissingUrl:
            return "Given download URL is empty!!!, reply was " + reply;
        case Outcome::MissingId:
            return "Given currentdesktopid is empty!!!, reply was " + reply;
        case Outcome::MissingType:
            return "Missing wallpaper filetype!!!, reply was " + reply;
        case Outcome::ServiceError:
        case Outcome::Download:
            break;
    }
    return {};
}

std::string WallpaperFileName(const std::string& type) {
    std::string lower = type;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return "wallpaper." + (lower == "url" ? std::string("html") : type);
}
