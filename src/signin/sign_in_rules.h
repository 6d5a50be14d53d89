#pragma once
// The decisions of signing in, apart from the windows that carry them out.

#include <cstdint>
#include <string>
#include <string_view>

enum SignInTrigger { stTrayMenu, stSignInImage, stCycle, stSignInWindow, stLaunch };

inline constexpr int32_t LoginNoConnection = 1;
inline constexpr int32_t LoginRejected = 2;
inline constexpr int32_t LoginPending = 4;
inline constexpr int32_t LoginAccepted = 10;

// What StartSignIn sees when it is called.
struct SignInSituation {
    bool autologin = false;
    bool signedOutByUser = false;
    bool signedIn = false;
    bool signInWindowVisible = false;
    bool mainWindowVisible = false;
    bool signInBusy = false;
    int32_t loginResultCode = 0;
};

struct SignInDecisions {
    enum class Report { Unchanged, Set, Cleared };
    Report reportConnectionFailure = Report::Unchanged;
    bool restoreSignInImage = false;
    bool showMainWindow = false;
    bool showSignInWindow = false;
    bool animation = false;
    bool startWorker = false;
};

// The trigger table of StartSignIn. A sign-in already running is never joined by a second one:
// the trigger then starts no worker and no new animation.
SignInDecisions DecideSignIn(SignInTrigger trigger, const SignInSituation& situation);

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
