#include "service/session_pages.h"

#include <shellapi.h>

#include "ui/message_pump.h"
#include "service/http_client.h"
#include "service/http_setup.h"
#include "service/internet_connection.h"
#include "service/service_owner.h"
#include "settings/settings_record.h"
#include "service/page_addresses.h"

namespace {

PagesOpenedForTesting* recorder = nullptr;

}  // namespace

bool RequestSessionId() {
    // One exchange at a time: a menu item chosen while one runs does nothing.
    if (ExchangeRuns()) {
        return false;
    }
    const ExchangeScope exchange;
    const SessionTicket signedIn;
    const std::string url = SessionRequestUrl(recSETTINGS.loginid);
    if (!IsInternetConnected()) {
        return false;
    }
    std::string reply;
    try {
        HttpClient client;
        PrepareHttpClient(client);
        reply = client.Get(url);
    } catch (const HttpAbandoned&) {
        return false;
    } catch (const HttpError&) {
        // A user who signed out meanwhile stays signed out by their own hand.
        if (signedIn.Stands()) {
            TheServiceOwner()->SessionRequestFailed();
        }
        return false;
    }
    const OkReply session = ParseOkReply(reply);
    // A page asked for by a session the user has ended since is not opened under their name.
    if (!session.accepted || !signedIn.Stands()) {
        return false;
    }
    recSETTINGS.sessionid = session.id;
    return true;
}

void OpenPage(const std::string& address, HWND owner) {
    if (recorder) {
        recorder->addresses_.push_back(address);
        return;
    }
    ::ShellExecuteA(owner, "open", address.c_str(), "", "c:\\", SW_SHOW);
}

PagesOpenedForTesting::PagesOpenedForTesting() {
    recorder = this;
}

PagesOpenedForTesting::~PagesOpenedForTesting() {
    recorder = nullptr;
}
