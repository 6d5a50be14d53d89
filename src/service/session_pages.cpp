#include "service/session_pages.h"

#include <shellapi.h>

#include "service/exchange.h"
#include "service/http_client.h"
#include "service/http_setup.h"
#include "service/internet_connection.h"
#include "service/page_addresses.h"
#include "service/service_state.h"
#include "settings/settings_record.h"

bool RequestSessionId() {
    // One exchange at a time: a menu item chosen while one runs does nothing.
    if (ExchangeRuns()) {
        return false;
    }
    const ServiceExchange exchange;
    const std::string url = SessionRequestUrl(recSETTINGS.loginid);
    if (!IsInternetConnected()) {
        return false;
    }
    const std::optional<std::string> reply = exchange.Transfer(
        [&url] {
            HttpClient client;
            PrepareHttpClient(client);
            return client.Get(url);
        },
        ServiceExchange::Failure::SessionRequestFailed);
    if (!reply) {
        return false;
    }
    const OkReply session = ParseOkReply(*reply);
    // A page asked for by a session the user has ended since is not opened under their name.
    if (!session.accepted || !exchange.SessionStands()) {
        return false;
    }
    recSETTINGS.sessionid = session.id;
    return true;
}

void OpenPage(const std::string& address, HWND owner) {
    if (PageOpener* opener = TheServiceState().pageOpener) {
        opener->Open(address);
        return;
    }
    ::ShellExecuteA(owner, "open", address.c_str(), "", "c:\\", SW_SHOW);
}
