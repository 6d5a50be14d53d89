#include "signin/sign_in_rules.h"

#include <gtest/gtest.h>

namespace {

using Report = SignInDecisions::Report;

SignInSituation SignedOut(bool autologin) {
    SignInSituation s;
    s.autologin = autologin;
    return s;
}

}  // namespace

TEST(DecideSignIn, UserTriggersAskForCredentialsWithoutAutomaticSignIn) {
    const SignInDecisions tray = DecideSignIn(stTrayMenu, SignedOut(false));
    EXPECT_TRUE(tray.showMainWindow && tray.showSignInWindow);
    EXPECT_FALSE(tray.startWorker || tray.animation);
    EXPECT_EQ(tray.reportConnectionFailure, Report::Set);

    const SignInDecisions image = DecideSignIn(stSignInImage, SignedOut(false));
    EXPECT_TRUE(image.restoreSignInImage && image.showMainWindow && image.showSignInWindow);
    EXPECT_FALSE(image.startWorker);
}

TEST(DecideSignIn, UserTriggersSignInAtOnceWithAutomaticSignIn) {
    const SignInDecisions tray = DecideSignIn(stTrayMenu, SignedOut(true));
    EXPECT_TRUE(tray.showMainWindow && tray.animation && tray.startWorker);
    EXPECT_FALSE(tray.showSignInWindow);

    const SignInDecisions image = DecideSignIn(stSignInImage, SignedOut(true));
    EXPECT_TRUE(image.restoreSignInImage && image.animation && image.startWorker);
    EXPECT_FALSE(image.showMainWindow || image.showSignInWindow);

    for (bool autologin : {false, true}) {
        const SignInDecisions window = DecideSignIn(stSignInWindow, SignedOut(autologin));
        EXPECT_TRUE(window.animation && window.startWorker);
        EXPECT_FALSE(window.showMainWindow || window.showSignInWindow);
        EXPECT_EQ(window.reportConnectionFailure, Report::Set);
    }
}

TEST(DecideSignIn, LaunchSignsInSilentlyOrShowsTheMainWindow) {
    const SignInDecisions automatic = DecideSignIn(stLaunch, SignedOut(true));
    EXPECT_TRUE(automatic.animation && automatic.startWorker);
    EXPECT_FALSE(automatic.showMainWindow || automatic.showSignInWindow);
    EXPECT_EQ(automatic.reportConnectionFailure, Report::Cleared);

    const SignInDecisions manual = DecideSignIn(stLaunch, SignedOut(false));
    EXPECT_TRUE(manual.showMainWindow);
    EXPECT_FALSE(manual.startWorker || manual.showSignInWindow);
}

TEST(DecideSignIn, TheCycleRetriesOnlyWhenNothingStandsInTheWay) {
    const SignInDecisions retry = DecideSignIn(stCycle, SignedOut(true));
    EXPECT_TRUE(retry.animation && retry.startWorker);
    EXPECT_EQ(retry.reportConnectionFailure, Report::Cleared);

    const auto blocked = [](void (*change)(SignInSituation&)) {
        SignInSituation s = SignedOut(true);
        change(s);
        const SignInDecisions d = DecideSignIn(stCycle, s);
        return !d.startWorker && !d.animation && d.reportConnectionFailure == Report::Unchanged;
    };
    EXPECT_TRUE(blocked([](SignInSituation& s) { s.autologin = false; }));
    EXPECT_TRUE(blocked([](SignInSituation& s) { s.signedOutByUser = true; }));
    EXPECT_TRUE(blocked([](SignInSituation& s) { s.signedIn = true; }));
    EXPECT_TRUE(blocked([](SignInSituation& s) { s.signInWindowVisible = true; }));
    EXPECT_TRUE(blocked([](SignInSituation& s) { s.mainWindowVisible = true; }));
    EXPECT_TRUE(blocked([](SignInSituation& s) { s.signInBusy = true; }));
    EXPECT_TRUE(blocked([](SignInSituation& s) { s.loginResultCode = LoginRejected; }));
    SignInSituation afterNoConnection = SignedOut(true);
    afterNoConnection.loginResultCode = LoginNoConnection;
    EXPECT_TRUE(DecideSignIn(stCycle, afterNoConnection).startWorker);
}

TEST(DecideSignIn, ARunningSignInIsNeverJoinedByASecond) {
    SignInSituation busy = SignedOut(true);
    busy.signInBusy = true;
    for (SignInTrigger trigger : {stTrayMenu, stSignInImage, stSignInWindow, stLaunch}) {
        const SignInDecisions d = DecideSignIn(trigger, busy);
        EXPECT_FALSE(d.startWorker) << trigger;
        EXPECT_FALSE(d.animation) << trigger;
    }
    EXPECT_TRUE(DecideSignIn(stTrayMenu, busy).showMainWindow);
}
