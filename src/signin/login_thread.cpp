#include "signin/login_thread.h"

#include <windows.h>

#include <thread>

#include "service/http_client.h"
#include "service/internet_connection.h"
#include "service/service_address.h"
#include "settings/settings_record.h"
#include "signin/sign_in.h"

void TLOGINTHREAD::SetCredentials(const std::string& email, const std::string& password) {
    email_ = email;
    password_ = password;
}

LoginOutcome TLOGINTHREAD::Execute() const {
    if (email_.empty() || password_.empty()) {
        return {LoginRejected, {}};
    }
    if (!IsInternetConnected()) {
        return {LoginNoConnection, {}};
    }
    std::string body;
    try {
        HttpClient client;
        PrepareHttpClient(client, proxy_);
        body = client.Get(ServiceUrl(LoginPath(email_, password_)));
    } catch (const HttpError&) {
        return {LoginNoConnection, {}};
    }
    const OkReply reply = ParseOkReply(body);
    return reply.accepted ? LoginOutcome{LoginAccepted, reply.id} : LoginOutcome{LoginRejected, {}};
}

void TLOGINTHREAD::Start(TLOGINTHREAD worker, HWND userInterfaceWindow) {
    std::thread([worker = std::move(worker), userInterfaceWindow] {
        LoginOutcome outcome = worker.Execute();
        ::SendMessageA(userInterfaceWindow, kLoginOutcomeMessage, 0,
                       reinterpret_cast<LPARAM>(&outcome));
    }).detach();
}

void PublishResult(const LoginOutcome& outcome) {
    if (outcome.resultCode == LoginAccepted) {
        recSETTINGS.loginid = outcome.loginid;
    }
    LoginResultCode = outcome.resultCode;
}
