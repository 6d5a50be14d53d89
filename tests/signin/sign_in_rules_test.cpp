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

TEST(EncodeQueryValue, KeepsTheUnreservedAndEncodesTheRest) {
    EXPECT_EQ(EncodeQueryValue("ann.lee@example.com"), "ann.lee@example.com");
    EXPECT_EQ(EncodeQueryValue("a b"), "a+b");
    EXPECT_EQ(EncodeQueryValue("!$'()*-._"), "!$'()*-._");
    EXPECT_EQ(EncodeQueryValue("&/~+=?#%"), "%26%2F%7E%2B%3D%3F%23%25");
    EXPECT_EQ(EncodeQueryValue("\xe9\x01\x7f"), "%E9%01%7F");
    EXPECT_EQ(EncodeQueryValue(std::string("a\0b", 3)), "a%00b");
    EXPECT_EQ(LoginPath("a b@c.d", "p&w"), "/actions/login.php?un=a+b@c.d&pw=p%26w");
}

TEST(ParseOkReply, OkAnywhereAcceptsAndTheRestIsTheIdUnchanged) {
    EXPECT_EQ(ParseOkReply("[OK]4711").id, "4711");
    EXPECT_TRUE(ParseOkReply("abc[OK]4711").accepted);
    EXPECT_EQ(ParseOkReply("abc[OK]4711").id, "4711");
    EXPECT_EQ(ParseOkReply("[OK]4711\r\n").id, "4711\r\n");
    EXPECT_EQ(ParseOkReply("[OK]1[OK]2").id, "1[OK]2");
    const OkReply bare = ParseOkReply("[OK]");
    EXPECT_TRUE(bare.accepted);
    EXPECT_EQ(bare.id, "");
    EXPECT_FALSE(ParseOkReply("OK").accepted);
    EXPECT_FALSE(ParseOkReply("").accepted);
    EXPECT_FALSE(ParseOkReply("[ok]1").accepted);
}
