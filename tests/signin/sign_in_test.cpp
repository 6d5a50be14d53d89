// Signing in against the stand-in service, through the client's real windows, timers and worker
// thread.

#include "signin/sign_in.h"

#include <windows.h>
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/resource_window.h"
#include "service/download_window.h"
#include "service/http_client.h"
#include "settings/keep_dates.h"
#include "settings/registry_key.h"
#include "settings/settings_record.h"
#include "settings/settings_store.h"
#include "signin/connection_failure_window.h"
#include "signin/login_thread.h"
#include "signin/sign_in_window.h"
#include "support/http_limits_scope.h"
#include "support/service_stand_ins.h"
#include "support/uncreatable_download.h"
#include "support/wine_test_fixture.h"

namespace {

class SignInTest : public ClientTest {
  protected:
    void SetUp() override {
        ClientTest::SetUp();
        recSETTINGS.autologin = true;
        SignedIn = false;
    }

    // Waits for the worker's result to be taken.
    bool SignInEnds() {
        return PumpUntil([] { return !SignInBusy; });
    }

    // Waits for the worker's result to be taken, removing every message of the kind given unseen:
    // WM_TIMER leaves only the worker's hand-over to take it, kLoginOutcomeMessage only the poll.
    static bool SignInEndsWithout(UINT dropped) {
        return PumpUntil([] { return !SignInBusy; }, kPumpUntilTimeoutMs,
                         [dropped](const MSG& message) { return message.message == dropped; });
    }

    static std::vector<bool> MenuEnabled() {
        std::vector<bool> enabled;
        TPopupMenu& menu = frmMain->popupTray();
        for (size_t i = 0; i < menu.Count(); ++i) {
            if (!menu.Items(i).IsSeparator()) {
                enabled.push_back(menu.Items(i).Enabled());
            }
        }
        return enabled;
    }
};

// Home, About, Help, Profile, Settings, Keep, Mail, Sign in, Sign out, Get another, Exit.
const std::vector<bool> kSignedOutMenu = {true,  true, true,  false, true, false,
                                          false, true, false, false, true};
const std::vector<bool> kSignedInMenu = {true,  true,  true, true, true, false,
                                         false, false, true, true, true};
const std::vector<bool> kSignedInWithWallpaperMenu = {true, true,  true, true, true, true,
                                                      true, false, true, true, true};

TEST_F(SignInTest, AnAcceptedSignInFetchesAndAppliesTheCurrentWallpaper) {
    StartSignIn(stTrayMenu);
    EXPECT_TRUE(frmMain->IsVisible());
    EXPECT_TRUE(frmMain->AnimationVisible());
    EXPECT_TRUE(frmMain->theTray().CycleIcons());
    EXPECT_EQ(LoginResultCode, LoginPending);
    ASSERT_TRUE(SignInEnds());

    EXPECT_TRUE(SignedIn);
    EXPECT_EQ(LoginResultCode, LoginAccepted);
    EXPECT_EQ(recSETTINGS.loginid.rfind("L", 0), 0u) << recSETTINGS.loginid;
    EXPECT_FALSE(frmMain->IsVisible());
    EXPECT_FALSE(frmMain->AnimationVisible());
    EXPECT_FALSE(frmMain->theTray().CycleIcons());
    EXPECT_EQ(frmMain->TrayImage(), kSignedInImage);
    EXPECT_EQ(Requests("/actions/login.php?un=demo@murlox.test&pw=demo"), 1);
    EXPECT_EQ(Requests("/actions/wallpaperserve.php"), 1);
    EXPECT_NE(recSETTINGS.curdesktopid, "0");
    EXPECT_EQ(MenuEnabled(), kSignedInWithWallpaperMenu);
    EXPECT_TRUE(frmResources->CycleRunning());
    EXPECT_TRUE(messages.empty());
}

TEST_F(SignInTest, WithAKeepScheduleRunningTheScheduleDecides) {
    RegistryKey settings(kSettingsKeyPath, KEY_WRITE);
    settings.WriteString("keepdaysenabled", "1");
    settings.WriteString("keepdayscount", "3");
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    const double today =
        ToOleDate({t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds});
    settings.WriteBinary("keepdayssetdate", &today, sizeof(today));
    recSETTINGS.keepdaysoff = false;
    StartSignIn(stTrayMenu);
    ASSERT_TRUE(SignInEnds());
    EXPECT_TRUE(SignedIn);
    EXPECT_EQ(Requests("/actions/wallpaperserve.php"), 0);
    EXPECT_EQ(MenuEnabled(), kSignedInMenu);
}

TEST_F(SignInTest, ARefusedSignInSaysSoThenAsksForTheCredentials) {
    recSETTINGS.password = "wrong";
    StartSignIn(stTrayMenu);
    ASSERT_TRUE(SignInEnds());
    EXPECT_FALSE(SignedIn);
    EXPECT_EQ(LoginResultCode, LoginRejected);
    EXPECT_EQ(messages, std::vector<std::string>{kLoginFailedMessage});
    EXPECT_EQ(modalWindows, std::vector<std::string>{"TfrmRegisterLogin"});
    EXPECT_EQ(frmMain->TrayImage(), kSignedOutImage);
    EXPECT_EQ(MenuEnabled(), kSignedOutMenu);

    // After a refusal the cycle no longer tries on its own.
    frmMain->Hide();
    frmResources->tmrCycleTimerTimer();
    EXPECT_FALSE(SignInBusy);
    EXPECT_EQ(Requests("/actions/login.php"), 1);
    // The user still can.
    recSETTINGS.password = "demo";
    StartSignIn(stTrayMenu);
    ASSERT_TRUE(SignInEnds());
    EXPECT_TRUE(SignedIn);
}

TEST_F(SignInTest, MissingCredentialsAreRefusedWithoutAnyTraffic) {
    recSETTINGS.nickname.clear();
    StartSignIn(stSignInWindow);
    ASSERT_TRUE(SignInEnds());
    EXPECT_EQ(LoginResultCode, LoginRejected);
    EXPECT_EQ(service().RequestCount(), 0);
    EXPECT_EQ(messages, std::vector<std::string>{kLoginFailedMessage});
}

TEST_F(SignInTest, AnUnreachableServiceAtLaunchShowsNothingAndTheCycleRetries) {
    service().SetFault(R"({"kind": "refuse"})");
    StartClient();  // launched with automatic sign-in
    EXPECT_TRUE(SignInBusy);
    EXPECT_FALSE(frmMain->IsVisible());
    ASSERT_TRUE(SignInEnds());
    EXPECT_EQ(LoginResultCode, LoginNoConnection);
    EXPECT_FALSE(SignedIn);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(modalWindows.empty());
    EXPECT_FALSE(frmMain->IsVisible());
    EXPECT_EQ(frmMain->TrayImage(), kSignedOutImage);
    EXPECT_TRUE(frmResources->CycleRunning());

    service().Reset();
    frmResources->tmrCycleTimerTimer();
    EXPECT_TRUE(SignInBusy) << "the next tick tries again";
    EXPECT_FALSE(frmResources->CycleRunning()) << "no tick while a sign-in runs";
    ASSERT_TRUE(SignInEnds());
    EXPECT_TRUE(SignedIn);
}

TEST_F(SignInTest, ALostConnectionSignsOutSilentlyAndTheSignInIsRetried) {
    StartSignIn(stTrayMenu);
    ASSERT_TRUE(SignInEnds());
    ASSERT_TRUE(SignedIn);
    {
        const OfflineForTesting offline;
        frmResources->tmrCycleTimerTimer();
        EXPECT_FALSE(SignedIn);
        EXPECT_FALSE(SignedOutByUser);
        EXPECT_EQ(frmMain->TrayImage(), kSignedOutImage);
        EXPECT_EQ(MenuEnabled(), kSignedOutMenu);
        EXPECT_TRUE(SignInBusy) << "the same tick retries";
        ASSERT_TRUE(SignInEnds());
        EXPECT_EQ(LoginResultCode, LoginNoConnection);
    }
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(modalWindows.empty());
    frmResources->tmrCycleTimerTimer();
    ASSERT_TRUE(SignInEnds());
    EXPECT_TRUE(SignedIn);
}

TEST_F(SignInTest, WithoutAutomaticSignInTheUserIsAskedAndTheMainWindowShown) {
    recSETTINGS.autologin = false;
    StartSignIn(stSignInImage);
    EXPECT_TRUE(frmMain->IsVisible());
    EXPECT_EQ(modalWindows, std::vector<std::string>{"TfrmRegisterLogin"});
    EXPECT_FALSE(SignInBusy);
    EXPECT_TRUE(frmResources->CycleRunning());
    frmMain->Hide();
    frmResources->tmrCycleTimerTimer();
    EXPECT_FALSE(SignInBusy) << "the cycle signs in only automatically";
}

TEST_F(SignInTest, AWindowThatStandsAlreadyIsRaisedWithTheFocusOnAControl) {
    recSETTINGS.autologin = false;
    frmRegisterLogin->Show();
    ::SetFocus(frmRegisterLogin->hwnd());
    StartSignIn(stSignInImage);
    EXPECT_TRUE(::IsChild(frmRegisterLogin->hwnd(), ::GetFocus()));
    frmRegisterLogin->Hide();
    frmPopop->Show();
    ::SetFocus(frmPopop->hwnd());
    ShowConnectionFailure();
    EXPECT_TRUE(::IsChild(frmPopop->hwnd(), ::GetFocus()));
    EXPECT_TRUE(modalWindows.empty()) << "neither opened a second time";
}

TEST_F(SignInTest, ASecondTriggerWhileASignInRunsStartsNoSecondWorker) {
    service().SetFault(R"({"kind": "delay", "seconds": 1, "count": 1})");
    StartSignIn(stTrayMenu);
    StartSignIn(stTrayMenu);
    ASSERT_TRUE(SignInEnds());
    EXPECT_TRUE(SignedIn);
    EXPECT_EQ(Requests("/actions/login.php"), 1);
}

TEST_F(SignInTest, SigningOutByTheUserStopsTheRetriesAndForgetsThePassword) {
    recSETTINGS.autologin = false;
    SignedIn = true;
    frmMain->SetMenuState(true);
    frmMain->popupTray().Items(10).Click();  // "Sign out..."
    EXPECT_TRUE(SignedOutByUser);
    EXPECT_FALSE(SignedIn);
    EXPECT_EQ(recSETTINGS.password, "");
    frmResources->tmrCycleTimerTimer();
    EXPECT_FALSE(SignInBusy);
}

TEST_F(SignInTest, TheResultIsTakenWhenTheWorkerHandsItOverWithEveryStepInItsOrder) {
    StartSignIn(stTrayMenu);
    ASSERT_TRUE(SignInEndsWithout(WM_TIMER)) << "no poll tick is needed";
    EXPECT_TRUE(SignedIn);
    EXPECT_FALSE(frmMain->IsVisible());
    EXPECT_FALSE(frmMain->theTray().CycleIcons());
    EXPECT_EQ(frmMain->TrayImage(), kSignedInImage);
    EXPECT_EQ(MenuEnabled(), kSignedInWithWallpaperMenu);
    EXPECT_EQ(Requests("/actions/wallpaperserve.php"), 1);
    EXPECT_TRUE(frmResources->CycleRunning());
    EXPECT_TRUE(messages.empty());
}

TEST_F(SignInTest, AHandOverThatIsLostIsTakenByThePoll) {
    recSETTINGS.password = "wrong";
    StartSignIn(stTrayMenu);
    ASSERT_TRUE(SignInEndsWithout(kLoginOutcomeMessage));
    EXPECT_EQ(LoginResultCode, LoginRejected);
    EXPECT_EQ(messages, std::vector<std::string>{kLoginFailedMessage});
    EXPECT_EQ(modalWindows, std::vector<std::string>{"TfrmRegisterLogin"});
}

TEST_F(SignInTest, TheWorkersMessageFromAnotherSenderTakesNothing) {
    // What any program on the desktop can send: the message number with parameters of its choice.
    const auto sendFromElsewhere = [] {
        ::SendMessageA(frmResources->hwnd(), kLoginOutcomeMessage, 0x5A5A, 0x10);
    };
    SignedIn = false;
    sendFromElsewhere();
    EXPECT_EQ(LoginResultCode, 0);
    EXPECT_FALSE(SignedIn);

    service().SetFault(R"({"kind": "delay", "seconds": 1, "count": 1})");
    StartSignIn(stTrayMenu);
    sendFromElsewhere();
    EXPECT_EQ(LoginResultCode, LoginPending) << "the worker has handed nothing over yet";
    ASSERT_TRUE(SignInEnds());
    EXPECT_TRUE(SignedIn);
    sendFromElsewhere();
    EXPECT_EQ(Requests("/actions/wallpaperserve.php"), 1) << "the result is carried out once";
    EXPECT_TRUE(messages.empty());
}

TEST_F(SignInTest, ASignOutWhileTheNewsComesIsTheUsersAndStays) {
    HttpLimits limits = kHttpLimits;
    limits.silence = std::chrono::milliseconds(800);
    const HttpLimitsScope quickSilence(limits);
    // The user signs out from the tray while the news is on its way, which then comes or fails.
    for (const char* fault : {"delay", "silent"}) {
        SCOPED_TRACE(fault);
        service().Reset();
        service().SetFault(std::string(R"({"kind": ")") + fault +
                           R"(", "count": 1, "path": "/actions/news.php"})");
        SignedOutByUser = false;
        {
            const EveryTick signOutOnceAsked(50, [this] {
                if (SignedIn && Requests("/actions/news.php") == 1) {
                    SignOut(true);
                }
            });
            StartSignIn(stTrayMenu);
            ASSERT_TRUE(SignInEnds());
        }
        EXPECT_FALSE(SignedIn);
        EXPECT_TRUE(SignedOutByUser);
        EXPECT_TRUE(frmMain->notifypopup.Notifications().empty()) << "no news after signing out";
        EXPECT_TRUE(modalWindows.empty()) << "no connection failure for a session that ended";
        frmResources->tmrCycleTimerTimer();
        EXPECT_FALSE(SignInBusy) << "the cycle does not sign the user back in";
    }
}

TEST_F(SignInTest, ADownloadThatFailsUnderThePollTimerIsToldAndTheClientGoesOn) {
    const UncreatableDownloadTarget blocked;
    StartSignIn(stTrayMenu);
    ASSERT_TRUE(SignInEndsWithout(kLoginOutcomeMessage));
    EXPECT_EQ(messages, std::vector<std::string>{kDownloadFailedMessage});
    EXPECT_TRUE(SignedIn);
    EXPECT_EQ(recSETTINGS.curdesktopid, "0");
    EXPECT_TRUE(frmResources->CycleRunning());
}

}  // namespace
