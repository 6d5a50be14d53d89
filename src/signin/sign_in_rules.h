#pragma once
// The decisions of signing in, apart from the windows that carry them out.

#include <cstdint>

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
