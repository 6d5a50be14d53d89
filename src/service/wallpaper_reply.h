#pragma once
// Reading the service's answer to a wallpaper request: which file to download, its type and id,
// or what to tell the user instead.

#include <cstdint>
#include <string>

struct WallpaperReply {
    enum class Outcome {
        Download,      // url, id and type are set
        Unreadable,    // reading the reply failed unexpectedly, or its type is not a picture
                       // kind or "url" (the type names the file)
        ParseError,    // not XML
        ServiceError,  // the service refused; errorCode is set
        MissingUrl,
        MissingId,
        MissingType,
    };
    Outcome outcome = Outcome::Unreadable;
    std::string url;
    std::string id;
    std::string type;
    int32_t errorCode = 0;
};

WallpaperReply ParseWallpaperReply(const std::string& reply);

// What the user is told about the reply, or empty text when nothing is shown.
std::string WallpaperReplyMessage(const WallpaperReply& parsed, const std::string& reply);

// "wallpaper." and the extension of the type: "html" for "url" in any case, else the type as the
// reply has it.
std::string WallpaperFileName(const std::string& type);
