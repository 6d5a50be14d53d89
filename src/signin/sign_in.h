#pragma once
// The signed-in state of the client and the ways back to signed out.

#include <cstdint>

#include "signin/sign_in_rules.h"

extern int32_t LoginResultCode;
extern bool SignInBusy;
extern bool SignedIn;
extern bool SignedOutByUser;
// Set by sign-ins the user started: a failed connection is then shown, not only signed out.
extern bool ReportConnectionFailure;

// The one way back to the signed-out state; byUser only for the tray menu's "Sign out..." and
// "Exit". Shows nothing.
void SignOut(bool byUser);

// Shows the connection-failure window modally, or brings it to the front when it is up.
void ShowConnectionFailure();
