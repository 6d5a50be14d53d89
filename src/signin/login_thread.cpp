#include "signin/login_thread.h"

#include <windows.h>

#include <thread>

#include "service/http_client.h"
#include "service/internet_connection.h"
#include "service/page_addresses.h"
#include "service/service_address.h"
#include "settings/settings_record.h"
#include "signin/sign_in_rules.h"

void LoginHandOver::Put(LoginOutcome outcome) {
    const std::lock_guard<std::mutex> lock(mutex_);
    outcome_ = std::move(outcome);
}

std::optional<LoginOutcome> LoginHandOver::Take() {
    const std::lock_guard<std::mutex> lock(mutex_);
    std::optional<LoginOutcome> taken = std::move(outcome_);
    outcome_.reset();
    return taken;
}

void TLOGINTHREAD::SetCredentials(const std::string& email, const std::string& password) {
    email_ = email;
    password_ = password;
}

LoginOutcome TLOGINTHREAD::Execute() const {
    if (email_.empty() || password_.empty()) {
        return {LoginRejected, {}};
    }
    const std::string url = ServiceUrl(LoginPath(email_, password_));
    // The system's route is looked for meanwhile the connection check and the transport get
    // ready; the exchange then finds it under way or found.
    if (!proxy_.proxyuse && proxy_.system) {
        proxy_.system->RouteFor(url);
    }
    if (!IsInternetConnected()) {
        return {LoginNoConnection, {}};
    }
    std::string body;
    try {
        HttpClient client(limits_);
        PrepareHttpClient(client, proxy_);
        body = client.Get(url);
    } catch (const std::exception&) {
        // A transfer that failed, or one that could not even be set up.
        return {LoginNoConnection, {}};
    }
    const OkReply reply = ParseOkReply(body);
    return reply.accepted ? LoginOutcome{LoginAccepted, reply.id} : LoginOutcome{LoginRejected, {}};
}

void TLOGINTHREAD::Start(TLOGINTHREAD worker, std::shared_ptr<LoginHandOver> handOver, HWND wake) {
    std::thread([worker = std::move(worker), handOver = std::move(handOver), wake] {
        handOver->Put(worker.Execute());
        // Posted, not sent: the worker never waits for the user-interface thread, and the outcome
        // is taken in the thread's normal dispatching. A post that fails leaves it to the poll.
        ::PostMessageA(wake, kLoginOutcomeMessage, 0, 0);
    }).detach();
}
