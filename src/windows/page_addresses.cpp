#include "windows/page_addresses.h"

#include "service/service_address.h"
#include "service/xml_messages.h"
#include "signin/sign_in_rules.h"

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
