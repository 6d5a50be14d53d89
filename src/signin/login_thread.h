#pragma once
// The sign-in worker: one HTTP GET on a thread of its own, so that the user-interface thread
// never waits for it. It works on copies of the credentials and proxy settings taken at its start
// and hands its result, the login id included, to the user-interface thread.

#include <windows.h>

#include <cstdint>
#include <string>

#include "service/http_setup.h"

struct LoginOutcome {
    int32_t resultCode = 0;  // LoginNoConnection, LoginRejected or LoginAccepted
    std::string loginid;
};

class TLOGINTHREAD {
  public:
    // Copies taken now; nothing of the settings record is read on the worker thread.
    void SetCredentials(const std::string& email, const std::string& password);
    void SetProxy(const ProxySettings& proxy) { proxy_ = proxy; }

    // Runs Execute on a new thread that frees itself; the outcome is handed to the user-interface
    // thread's window by a synchronous call, and taken there by PublishResult.
    static void Start(TLOGINTHREAD worker, HWND userInterfaceWindow);

    // The sign-in itself; public for tests that run it on their own thread.
    LoginOutcome Execute() const;

  private:
    std::string email_;
    std::string password_;
    ProxySettings proxy_;
};

// The message by which the worker hands its outcome over: lParam points to a LoginOutcome that
// lives until the message has been handled.
inline constexpr UINT kLoginOutcomeMessage = WM_APP + 1;

// Takes a handed-over outcome on the user-interface thread: the code into LoginResultCode, the
// id into the settings record.
void PublishResult(const LoginOutcome& outcome);
