#include "service/page_addresses.h"

#include <cstring>

#include "service/service_address.h"
#include "service/xml_messages.h"

namespace {

bool StaysUnencoded(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           (c != '\0' && std::strchr("!$'()*-._@", c) != nullptr);
}

}  // namespace

std::string HomePageAddress() {
    return ServiceShortAddress("");
}

std::string AboutPageAddress() {
    return ServiceUrl(std::string("/actions/about.php?version=") + kClientVersion);
}

std::string HelpPageAddress() {
    return ServiceUrl(std::string("/actions/help.php?version=") + kClientVersion);
}

std::string RegisterPageAddress() {
    return ServiceUrl("/actions/register.php");
}

std::string ProfilePageAddress(const std::string& sessionid) {
    return ServiceShortAddress("/actions/profile.php?id=" + sessionid);
}

std::string MailPageAddress(const std::string& sessionid, const std::string& curdesktopid) {
    return ServiceShortAddress("/actions/mailmurlo.php?id=" + sessionid +
                               "&currentdesktop=" + EncodeQueryValue(curdesktopid));
}

std::string SessionRequestUrl(const std::string& loginid) {
    return ServiceUrl("/actions/requestsession.php?id=" + loginid);
}

std::string ThumbnailPageAddress(const std::string& nickname, const std::string& password,
                                 const std::string& curdesktopid) {
    return ServiceUrl("/actions/wallpaper_thumbs.php?un=" + EncodeQueryValue(nickname) +
                      "&pw=" + EncodeQueryValue(password) +
                      "&currentdesktop=" + EncodeQueryValue(curdesktopid) + "&shell=client");
}

std::string EncodeQueryValue(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char c : text) {
        if (StaysUnencoded(c)) {
            encoded += static_cast<char>(c);
        } else if (c == ' ') {
            encoded += '+';
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 15];
        }
    }
    return encoded;
}

std::string LoginPath(const std::string& email, const std::string& password) {
    return "/actions/login.php?un=" + EncodeQueryValue(email) + "&pw=" + EncodeQueryValue(password);
}

OkReply ParseOkReply(const std::string& body) {
    const size_t marker = body.find("[OK]");
    if (marker == std::string::npos) {
        return {};
    }
    return {true, body.substr(marker + 4)};
}
