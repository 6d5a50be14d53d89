// The wallpaper reply, as the service (or anyone on the way) may send it: whatever it holds, the
// file the client would download into stays in the wallpaper folder and is a picture or a page.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "fuzz_check.h"
#include "service/wallpaper_reply.h"
#include "settings/text_convert.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string reply(reinterpret_cast<const char*>(data), size);
    const WallpaperReply parsed = ParseWallpaperReply(reply);
    const std::string message = WallpaperReplyMessage(parsed, reply);
    FUZZ_CHECK(message.empty() == (parsed.outcome == WallpaperReply::Outcome::Download ||
                                   parsed.outcome == WallpaperReply::Outcome::ServiceError));
    if (parsed.outcome == WallpaperReply::Outcome::Download) {
        const std::string name = WallpaperFileName(parsed.type);
        FUZZ_CHECK(name.rfind("wallpaper.", 0) == 0);
        FUZZ_CHECK(name.find_first_of("\\/:*?\"<>|", 0) == std::string::npos);
        FUZZ_CHECK(name.find("..") == std::string::npos);
        FUZZ_CHECK(name.find('\0') == std::string::npos);
        // Only what the desktop can show: never a shortcut or a program.
        static const std::set<std::string> kExtensions = {
            "bmp", "dib", "gif", "jpg", "jpeg", "jpe", "jfif", "png", "tif", "tiff", "html"};
        FUZZ_CHECK(kExtensions.count(LowerCase(name.substr(10))) == 1);
    }
    return 0;
}
