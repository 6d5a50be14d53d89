#pragma once
// The service's web pages that the client opens in the user's browser, and the session request.

#include <string>

std::string HomePageAddress();
std::string AboutPageAddress();
std::string HelpPageAddress();
std::string RegisterPageAddress();
// The account pages take a fresh session id as it came from the service.
std::string ProfilePageAddress(const std::string& sessionid);
std::string MailPageAddress(const std::string& sessionid, const std::string& curdesktopid);
std::string SessionRequestUrl(const std::string& loginid);
// The page of wallpapers the picker shows, for the account and the wallpaper on the desktop.
// The three values are form-encoded, so that a "&" or "#" in them cannot split the query.
std::string ThumbnailPageAddress(const std::string& nickname, const std::string& password,
                                 const std::string& curdesktopid);
