#pragma once
// The XML messages the client posts to the service: one line each, elements in a fixed order.

#include <cstdint>
#include <string>
#include <string_view>

#include "client_version.h"

inline constexpr const char* kClientVersion = MURLOX_VERSION_TEXT;

// What a wallpaper request tells about the account and the machine.
struct WallpaperRequestValues {
    std::string nickname;
    std::string password;
    int xres = 0;  // primary screen size in pixels
    int yres = 0;
    std::string currentdesktopid;
    std::string cid;  // computer id
    int gmt = 0;      // local standard time minus UTC, in minutes
};

// Escapes & < > " and ' so that any value, a password holding "<" or "&" among them, reaches the
// service intact; and CR, which an XML parser would read as LF.
std::string EscapeXml(std::string_view text);

std::string BuildGetOneMessage(const WallpaperRequestValues& values);
std::string BuildGetNewOneMessage(const WallpaperRequestValues& values, const std::string& newId);
std::string BuildGetNewsMessage(const std::string& nickname, const std::string& password);

// A volume serial number as the computer id: eight upper-case hex digits, a colon in the middle.
std::string FormatComputerId(uint32_t volumeSerial);
