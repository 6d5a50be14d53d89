#include "service/wallpaper_reply.h"

#include <pugixml.hpp>

#include <algorithm>
#include <iterator>
#include <optional>

#include "service/xpath_string.h"
#include "settings/text_convert.h"

namespace {

using Outcome = WallpaperReply::Outcome;

// The text content of the first element the path selects, as the reply has it; nothing when no
// element matches.
std::optional<std::string> SelectText(const pugi::xml_document& document, const char* path) {
    const pugi::xpath_node match = document.select_node(path);
    if (!match) {
        return std::nullopt;
    }
    const pugi::xpath_query text((std::string("string(") + path + ")").c_str());
    return XPathString(text, document);
}

// The type becomes the file's extension, and the folder it lands in is one Explorer shows: a
// shortcut (.lnk, .scf, .url) would be followed when the folder is shown, and a program would be
// one click from running. Only the picture kinds the desktop can show, and "url" (saved as
// .html), are taken; the reply comes over plain HTTP, so anyone on the way could have written it.
bool IsWallpaperType(const std::string& type) {
    static const char* const kTypes[] = {"bmp",  "dib", "gif", "jpg",  "jpeg", "jpe",
                                         "jfif", "png", "tif", "tiff", "url"};
    const std::string lower = LowerCase(type);
    return std::any_of(std::begin(kTypes), std::end(kTypes),
                       [&lower](const char* known) { return lower == known; });
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
    parsed.outcome = !url                      ? Outcome::MissingUrl
                     : !id                     ? Outcome::MissingId
                     : !type                   ? Outcome::MissingType
                     : !IsWallpaperType(*type) ? Outcome::Unreadable
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
    return "wallpaper." + (LowerCase(type) == "url" ? std::string("html") : type);
}
