// The main window, the tray menu, the cycle and the end of the session, through the client's
// real windows and messages.

#include "app/main_window.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <oleacc.h>

#include <algorithm>
#include <thread>

#include <utility>

#include "app/resource_window.h"
#include "app/window_messages.h"
#include "components/window_drag.h"
#include "service/download_window.h"
#include "service/http_client.h"
#include "settings/registry_key.h"
#include "settings/settings_record.h"
#include "settings/settings_store.h"
#include "signin/connection_failure_window.h"
#include "signin/sign_in.h"
#include "signin/sign_in_window.h"
#include "support/accessible_controls.h"
#include "support/service_stand_ins.h"
#include "support/uncreatable_download.h"
#include "support/unwritable_registry.h"
#include "support/wine_test_fixture.h"
#include "ui/message_pump.h"
#include "ui/modal.h"
#include "windows/keep_window.h"
#include "windows/picker_window.h"
#include "windows/settings_window.h"

namespace {

class MainWindowTest : public ClientTest {
  protected:
    void SetUp() override { ClientTest::SetUp(); }
    void StartSignedOut() {
        SignedIn = false;
        StartClient();
    }
    static RECT Bounds(const Window& window) {
        RECT bounds;
        ::GetWindowRect(window.hwnd(), &bounds);
        return bounds;
    }
    static void TrayMouse(UINT mouseMessage) {
        ::SendMessageA(frmMain->theTray().Handle(), kTrayCallbackMessage, 1, mouseMessage);
    }
};

TEST_F(MainWindowTest, SignedOutWithoutAutomaticSignInTheMainWindowShowsAtItsPlace) {
    StartSignedOut();
    ASSERT_TRUE(frmMain->IsVisible());
    EXPECT_EQ(Bounds(*frmMain).left, 504);
    EXPECT_EQ(Bounds(*frmMain).top, 287);
    EXPECT_EQ(Bounds(*frmMain).right - Bounds(*frmMain).left, 226);
    EXPECT_EQ(frmMain->TrayImage(), kSignedOutImage);
    EXPECT_FALSE(frmMain->theTray().TrayData().hIcon == nullptr);
    EXPECT_TRUE(frmMain->theTray().LeftPopup());

    // Each showing places the window anew.
    recSETTINGS.mainleft = 0;
    recSETTINGS.maintop = 300;
    frmMain->Hide();
    frmMain->ShowForSignIn();
    EXPECT_EQ(Bounds(*frmMain).left, 504);
    EXPECT_EQ(Bounds(*frmMain).top, 300);
    recSETTINGS.mainleft = -20;
    recSETTINGS.maintop = 40;
    frmMain->Hide();
    frmMain->ShowForSignIn();
    EXPECT_EQ(Bounds(*frmMain).left, 504);
    EXPECT_EQ(Bounds(*frmMain).top, 40);
}

TEST_F(MainWindowTest, AScreenReaderFindsThePicturesByWhatTheyAreAndPressesSignIn) {
    StartSignedOut();
    const std::vector<AccessibleControl> controls = AccessibleControlsOf(frmMain->hwnd());
    EXPECT_EQ(controls, Sorted({{ROLE_SYSTEM_GRAPHIC, "MURLOX"},
                                {ROLE_SYSTEM_GRAPHIC, "MURLOX logo"},
                                {ROLE_SYSTEM_PUSHBUTTON, "Sign in"},
                                {ROLE_SYSTEM_PUSHBUTTON, "Close"}}));
    const auto signIn = std::find(controls.begin(), controls.end(),
                                  AccessibleControl{ROLE_SYSTEM_PUSHBUTTON, "Sign in"});
    ASSERT_NE(signIn, controls.end());
    ASSERT_TRUE(PressAccessible(signIn->window));
    EXPECT_TRUE(PumpUntil([this] { return !modalWindows.empty(); }, 2000));
    EXPECT_EQ(modalWindows, std::vector<std::string>{"TfrmRegisterLogin"});
}

// Without a mouse: Tab reaches the pictures that act, and Enter presses the one it reached.
TEST_F(MainWindowTest, TabReachesSignInAndEnterPressesIt) {
    StartSignedOut();
    const auto key = [](WORD code) {
        const HWND target = ::GetFocus() ? ::GetFocus() : frmMain->hwnd();
        ::PostMessageA(target, WM_KEYDOWN, code, 1);
    };
    const std::vector<AccessibleControl> controls = AccessibleControlsOf(frmMain->hwnd());
    const auto signIn = std::find(controls.begin(), controls.end(),
                                  AccessibleControl{ROLE_SYSTEM_PUSHBUTTON, "Sign in"});
    ASSERT_NE(signIn, controls.end());
    key(VK_TAB);
    EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == signIn->window; }, 2000));
    key(VK_RETURN);
    EXPECT_TRUE(PumpUntil([this] { return !modalWindows.empty(); }, 2000));
    EXPECT_EQ(modalWindows, std::vector<std::string>{"TfrmRegisterLogin"});
}

TEST_F(MainWindowTest, ShowingItWhileSignedInHidesIt) {
    SignedIn = true;
    frmMain->ShowForSignIn();
    EXPECT_FALSE(frmMain->IsVisible());
}

TEST_F(MainWindowTest, TheMenuHasItsItemsTheDefaultInBold) {
    TPopupMenu& menu = frmMain->popupTray();
    ASSERT_EQ(menu.Count(), 14u);
    const char* captions[] = {"Visit MURLOX home...",
                              "About MURLOX...",
                              "Help!",
                              "",
                              "My profile...",
                              "Settings...",
                              "Keep this MURLO...",
                              "Mail this MURLO...",
                              "",
                              "Sign in...",
                              "Sign out...",
                              "",
                              "Get another MURLO...",
                              "&Exit"};
    for (size_t i = 0; i < menu.Count(); ++i) {
        EXPECT_EQ(menu.Items(i).Caption(), captions[i]) << i;
    }
    EXPECT_EQ(menu.DefaultItem(), &menu.Items(12));
}

TEST_F(MainWindowTest, ADoubleClickOnTheTrayOpensThePickerOnlyWhenSignedIn) {
    StartSignedOut();
    TrayMouse(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(modalWindows.empty());

    HttpClient login;
    const std::string reply =
        login.Get(service().Url("/actions/login.php?un=demo@murlox.test&pw=demo"));
    recSETTINGS.loginid = reply.substr(reply.find("[OK]") + 4);
    SignedIn = true;
    TrayMouse(WM_LBUTTONDBLCLK);
    EXPECT_EQ(modalWindows, std::vector<std::string>{"TfrmWPPicker"});
    EXPECT_EQ(Requests("/actions/requestsession.php?id=" + recSETTINGS.loginid), 1);
    EXPECT_EQ(recSETTINGS.sessionid.rfind("S", 0), 0u) << recSETTINGS.sessionid;
}

TEST_F(MainWindowTest, WhatATrayNoticeSentByTheShellOpensRunsOutsideTheShellsMessage) {
    HttpClient login;
    const std::string reply =
        login.Get(service().Url("/actions/login.php?un=demo@murlox.test&pw=demo"));
    recSETTINGS.loginid = reply.substr(reply.find("[OK]") + 4);
    SignedIn = true;
    // Inside the shell's message every notice this thread sends its own windows would count as
    // the shell's: the picker's run must not start there.
    constexpr DWORD kNotAsked = ~DWORD{0};
    DWORD sendState = kNotAsked;
    const PromptAnswerScope answers({[](const std::string&, UINT) { return IDOK; },
                                     [&sendState](Window&) {
                                         sendState = ::InSendMessageEx(nullptr);
                                         return kModalDone;
                                     }});
    const HWND tray = frmMain->theTray().Handle();
    std::thread shell([tray] { ::SendMessageA(tray, kTrayCallbackMessage, 1, WM_LBUTTONDBLCLK); });
    EXPECT_TRUE(PumpUntil([&sendState] { return sendState != kNotAsked; }, 5000));
    shell.join();
    EXPECT_EQ(sendState & (ISMEX_SEND | ISMEX_NOTIFY), 0u);
}

TEST_F(MainWindowTest, DraggingWithTheRightButtonMovesNothing) {
    StartSignedOut();
    const RECT before = Bounds(*frmMain);
    BeginWindowDrag(*frmMain, MouseButton::Right);
    EXPECT_EQ(Bounds(*frmMain).left, before.left);
    EXPECT_EQ(recSETTINGS.mainleft, 0);
}

TEST_F(MainWindowTest, TheCycleChecksTheKeepScheduleEvery360thTickWhenSignedIn) {
    frmResources->CycleTicks = 359;
    frmResources->tmrCycleTimerTimer();
    EXPECT_EQ(Requests("/actions/wallpaperserve.php"), 0);
    EXPECT_EQ(frmResources->CycleTicks, 360);
    frmResources->tmrCycleTimerTimer();
    EXPECT_EQ(Requests("/actions/wallpaperserve.php"), 1);
    EXPECT_EQ(frmResources->CycleTicks, 1);
    EXPECT_TRUE(frmResources->CycleRunning());

    SignedIn = false;
    recSETTINGS.autologin = false;
    frmResources->CycleTicks = 360;
    frmResources->tmrCycleTimerTimer();
    EXPECT_EQ(Requests("/actions/wallpaperserve.php"), 1) << "skipped while signed out";
    EXPECT_EQ(frmResources->CycleTicks, 1);
}

TEST_F(MainWindowTest, ADownloadThatFailsInTheHourlyCheckIsToldAndLeavesTheCycleRunning) {
    const UncreatableDownloadTarget blocked;
    frmResources->CycleTicks = 360;
    ::SendMessageA(frmResources->hwnd(), WM_TIMER, tmrCycleTimer, 0);
    EXPECT_EQ(messages, std::vector<std::string>{kDownloadFailedMessage});
    EXPECT_TRUE(frmResources->CycleRunning());
}

// The global references as they are while window 2 is being created at start-up, which lets
// messages run: windows 3 to 7 do not exist yet.
class LaterWindowsNotYetCreated {
  public:
    LaterWindowsNotYetCreated()
        : registerLogin_(std::exchange(frmRegisterLogin, nullptr)),
          picker_(std::exchange(frmWPPicker, nullptr)),
          setTime_(std::exchange(frmWPSetTime, nullptr)),
          settings_(std::exchange(frmSettings, nullptr)),
          popop_(std::exchange(frmPopop, nullptr)) {}
    LaterWindowsNotYetCreated(const LaterWindowsNotYetCreated&) = delete;
    LaterWindowsNotYetCreated& operator=(const LaterWindowsNotYetCreated&) = delete;
    ~LaterWindowsNotYetCreated() {
        frmRegisterLogin = registerLogin_;
        frmWPPicker = picker_;
        frmWPSetTime = setTime_;
        frmSettings = settings_;
        frmPopop = popop_;
    }

  private:
    TfrmRegisterLogin* registerLogin_;
    TfrmWPPicker* picker_;
    TfrmWPSetTime* setTime_;
    TfrmSettings* settings_;
    TfrmPopop* popop_;
};

TEST_F(MainWindowTest, BeforeTheLaterWindowsExistNoActionReachesThem) {
    recSETTINGS.autologin = false;
    SignedIn = false;
    const LaterWindowsNotYetCreated startUp;
    TPopupMenu& menu = frmMain->popupTray();
    // Settings, Keep this, Sign in, Get another: enabled whatever the state, to try them all.
    for (const size_t item : {5u, 6u, 9u, 12u}) {
        menu.Items(item).SetEnabled(true);
        menu.Items(item).Click();
    }
    StartSignIn(stSignInImage);
    SignedIn = true;
    TrayMouse(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(modalWindows.empty());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(service().RequestCount(), 0);
}

TEST_F(MainWindowTest, TheSessionEndSignsOutAndSavesThenAllowsTheClose) {
    recSETTINGS.autologin = false;
    EXPECT_EQ(::SendMessageA(frmResources->hwnd(), WM_QUERYENDSESSION, 0, 0), 1);
    EXPECT_TRUE(SessionEnding);
    EXPECT_FALSE(SignedIn);
    const RegistryKey settings(kSettingsKeyPath, KEY_READ);
    EXPECT_EQ(settings.ReadString("nickname"), "demo@murlox.test");
    EXPECT_EQ(settings.ReadString("password"), "");
    EXPECT_FALSE(settings.HasValue("passwordsealed"));
    EXPECT_TRUE(messages.empty());

    ::SendMessageA(frmResources->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(QuitRequested());
}

TEST_F(MainWindowTest, ASessionEndWhoseSaveFailsIsNotAnswered) {
    LRESULT answer = 0;
    {
        const UnwritableCurrentUser unwritable;
        answer = ::SendMessageA(frmResources->hwnd(), WM_QUERYENDSESSION, 0, 0);
    }
    EXPECT_EQ(answer, 0);
    EXPECT_FALSE(SessionEnding);
    EXPECT_EQ(messages.size(), 1u) << "the error is shown";
}

HWND resourcesWindow = nullptr;
void CALLBACK CloseResources(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    ::PostMessageA(resourcesWindow, WM_CLOSE, 0, 0);
}

TEST_F(MainWindowTest, ACloseOutsideTheSessionEndHidesEverythingAndEndsModalRuns) {
    StartSignedOut();
    modalAnswer = -1;
    resourcesWindow = frmResources->hwnd();
    ::SetTimer(nullptr, 0, 100, &CloseResources);
    EXPECT_EQ(ShowModal(*frmRegisterLogin), kModalClosedByProgram);
    EXPECT_FALSE(frmMain->IsVisible());
    EXPECT_FALSE(frmRegisterLogin->IsVisible());
    EXPECT_FALSE(QuitRequested());
}

TEST_F(MainWindowTest, ExitSignsOutByTheUserAndEndsTheLoop) {
    frmMain->popupTray().Items(13).Click();
    EXPECT_TRUE(SignedOutByUser);
    EXPECT_FALSE(SignedIn);
    EXPECT_TRUE(QuitRequested());
}

}  // namespace

namespace {

TEST_F(MainWindowTest, ANewsLinkOpensAndTheUpdateLinkEndsTheProgramASecondLater) {
    const PagesOpenedForTesting pages;
    recSETTINGS.updatelink = "http://www.murlox.com/Update";
    frmMain->notifypopupURLClick("  ");
    frmMain->notifypopupURLClick(" http://www.murlox.com/news ");
    EXPECT_FALSE(frmMain->ShutdownPending());
    frmMain->notifypopupURLClick("HTTP://WWW.MURLOX.COM/UPDATE");
    EXPECT_EQ(pages.Addresses(), (std::vector<std::string>{"http://www.murlox.com/news",
                                                           "http://www.murlox.com/update"}));
    EXPECT_TRUE(frmMain->ShutdownPending());
    EXPECT_TRUE(PumpUntil([] { return QuitRequested(); }, 5000));
    EXPECT_TRUE(SignedOutByUser);
}

}  // namespace

namespace {

void CALLBACK SignOutByTheUser(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    SignOut(true);
}

TEST_F(MainWindowTest, AnAccountPageAskedForBeforeTheUserSignedOutIsNotOpened) {
    const PagesOpenedForTesting pages;
    HttpClient login;
    const std::string reply =
        login.Get(service().Url("/actions/login.php?un=demo@murlox.test&pw=demo"));
    recSETTINGS.loginid = reply.substr(reply.find("[OK]") + 4);
    SignedIn = true;
    frmMain->SetMenuState(true);
    const std::string before = recSETTINGS.sessionid;
    service().SetFault(
        R"({"kind": "delay", "seconds": 1, "count": 1, "path": "/actions/requestsession.php"})");
    ::SetTimer(nullptr, 0, 200, &SignOutByTheUser);
    frmMain->popupTray().Items(4).Click();  // "My profile..."
    EXPECT_EQ(Requests("/actions/requestsession.php?id=" + recSETTINGS.loginid), 1);
    EXPECT_TRUE(SignedOutByUser);
    EXPECT_TRUE(pages.Addresses().empty());
    EXPECT_EQ(recSETTINGS.sessionid, before);
}

}  // namespace
