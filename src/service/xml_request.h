#pragma once
// Posting XML messages to the service, and the machine values the messages carry.

#include <string>

#include "service/xml_messages.h"

inline constexpr const char* kWallpaperServePath = "/actions/wallpaperserve.php";
inline constexpr const char* kNewsPath = "/actions/news.php";
inline constexpr const char* kXmlContentType = "text/xml; charset=\"utf-8\"";
// What PostXmlRequest returns for a failed exchange.
inline constexpr const char* kFailedExchange = "error";

// Posts the message behind an XML declaration and returns the reply body unchanged. A failed
// exchange shows the connection failure when the user started the sign-in, signs out, and
// returns "error"; one whose session no longer stands, or that the program's end abandoned, only
// returns "error".
std::string PostXmlRequest(const std::string& message, const std::string& url);

// What GetComputerId gives for a drive whose serial number cannot be read.
inline constexpr const char* kComputerIdFailed = "function failed";

// The volume serial number of the drive's root as "XXXX:XXXX", or kComputerIdFailed.
std::string GetComputerId(char drive);

// GetComputerId('C'), read once in the process: a volume's serial changes only when it is
// formatted, and reading it took 0.8 ms under Wine, which the sign-in spends before its login
// rather than between the login's reply and the wallpaper request.
std::string SystemComputerId();

// Local standard time minus UTC, in minutes; daylight saving time is not applied.
int UtcOffsetMinutes();

// Account, screen, current wallpaper and machine values of a wallpaper request, taken now.
WallpaperRequestValues CurrentWallpaperRequestValues();
