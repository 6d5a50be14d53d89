#pragma once
// The addresses of the service: the sign-in and session requests with their replies, and the web
// pages that the client opens in the user's browser.

#include <string>
#include <string_view>

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

// URL form encoding of a query value: letters, digits and ! $ ' ( ) * - . _ @ stay, a blank
// becomes "+", every other byte "%XX" with upper-case hex.
std::string EncodeQueryValue(std::string_view text);

// The path and query of the sign-in request.
std::string LoginPath(const std::string& email, const std::string& password);

// The service's answer to the sign-in and the session request: a body holding "[OK]" accepts,
// and everything after the first "[OK]", unchanged, is the id it hands out.
struct OkReply {
    bool accepted = false;
    std::string id;
};
OkReply ParseOkReply(const std::string& body);
