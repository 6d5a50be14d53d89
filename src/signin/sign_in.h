#pragma once
// The signed-in state of the client, how a sign-in starts and ends, and the ways back to signed
// out.

#include <cstdint>

#include "signin/sign_in_rules.h"

extern int32_t LoginResultCode;
extern bool SignInBusy;
extern bool SignedIn;
extern bool SignedOutByUser;
// Set by sign-ins the user started: a failed connection is then shown, not only signed out.
extern bool ReportConnectionFailure;

// The number of the signed-in session that stands now, 0 while signed out; every sign-in and
// sign-out changes it, so that an exchange can tell whether the session it began in still stands.
uint32_t StandingSession();

// Decides by the trigger whether to ask for credentials, show the main window or sign in at once
// on a worker thread. May show the sign-in window modally.
void StartSignIn(SignInTrigger trigger);

// Carries out the worker's result once it is there; the poll timer's tick, which takes the
// result when its hand-over message was lost. While an exchange runs it waits for the next tick.
void LoginResult();

// The worker's wake-up message: takes the running sign-in's result at once, if its worker has
// handed one over, and carries it out with LoginResult. Anything else changes nothing; while an
// exchange runs the outcome is left to the poll timer.
void LoginOutcomeHandedOver();

// The one way back to the signed-out state; byUser only for the tray menu's "Sign out..." and
// "Exit". Shows nothing.
void SignOut(bool byUser);

void StopSignInAnimation();

// The sign-in state of a process that has just started: signed out, no sign-in running and none
// to take. For every new run of the client in one process (the tests start it many times).
void ResetSignInState();

// Shows the connection-failure window modally, or brings it to the front when it is up.
void ShowConnectionFailure();

inline constexpr const char* kLoginFailedMessage =
    "Login failed, please make sure that you typed in username and password correctly, and that "
    "your CAPS-LOCK is off!";
