#pragma once
// The sign-in worker: one HTTP GET on a thread of its own, so that the user-interface thread
// never waits for it. It works on copies of the credentials, proxy settings and limits taken at its
// start and hands its result, the login id included, to the user-interface thread.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "service/http_setup.h"

// Posted by the sign-in worker to the resource window once its outcome is ready. It carries
// nothing: the outcome waits in the hand-over of the running sign-in, which only the worker of
// that sign-in fills. So the message is only a wake-up, and one from elsewhere finds nothing to
// take.
inline constexpr UINT kLoginOutcomeMessage = WM_APP + 1;

struct LoginOutcome {
    int32_t resultCode = 0;  // LoginNoConnection, LoginRejected or LoginAccepted
    std::string loginid;
};

// Where one sign-in's worker leaves its outcome for the user-interface thread, which takes it
// once: at the worker's wake-up message, or at the poll timer's tick when that message was lost.
// Shared by both threads for as long as either needs it.
class LoginHandOver {
  public:
    void Put(LoginOutcome outcome);
    // The outcome, once the worker has put it; each outcome is taken once.
    std::optional<LoginOutcome> Take();

  private:
    std::mutex mutex_;
    std::optional<LoginOutcome> outcome_;
};

class TLOGINTHREAD {
  public:
    // Copies taken now; nothing of the settings record is read on the worker thread.
    void SetCredentials(const std::string& email, const std::string& password);
    void SetProxy(const ProxySettings& proxy) { proxy_ = proxy; }
    void SetLimits(const HttpLimits& limits) { limits_ = limits; }

    // Runs Execute on a new thread that frees itself. The outcome goes into the hand-over, and
    // kLoginOutcomeMessage, carrying nothing, is posted to the window to have it taken at once.
    static void Start(TLOGINTHREAD worker, std::shared_ptr<LoginHandOver> handOver, HWND wake);

  private:
    // The sign-in itself, on the worker's thread.
    LoginOutcome Execute() const;

    std::string email_;
    std::string password_;
    ProxySettings proxy_;
    HttpLimits limits_ = kHttpLimits;
};
