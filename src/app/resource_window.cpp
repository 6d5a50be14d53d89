#include "app/resource_window.h"

#include "app/application.h"
#include "app/main_window.h"
#include "app/window_messages.h"
#include "resource_ids.h"
#include "service/exchange.h"
#include "service/http_setup.h"
#include "service/internet_connection.h"
#include "service/wallpaper_request.h"
#include "settings/settings_store.h"
#include "signin/connection_failure_window.h"
#include "signin/login_thread.h"
#include "signin/sign_in.h"
#include "signin/sign_in_window.h"
#include "ui/form_table.h"
#include "ui/modal.h"
#include "windows/keep_window.h"
#include "windows/picker_window.h"
#include "windows/settings_window.h"

TfrmResources* frmResources = nullptr;
bool SessionEnding = false;

namespace {

constexpr FormDescription kResourceWindow = FormDescription("TfrmResources")
                                                .Caption("-")
                                                .Style(WS_OVERLAPPEDWINDOW)
                                                .At(CW_USEDEFAULT, CW_USEDEFAULT)
                                                .ClientSize(419, 608)
                                                .Background(COLOR_BTNFACE);

constexpr UINT kCyclePeriodMs = 10000;
// Ticks between two keep-schedule checks: about an hour.
constexpr int32_t kTicksPerCheck = 360;

}  // namespace

void TfrmResources::Create(HWND owner) {
    SessionEnding = false;
    CreateForm(kResourceWindow, owner);
    imgSignIn = Picture::FromResource(IDR_SIGN_IN);
    imgSignIn_Over = Picture::FromResource(IDR_SIGN_IN_OVER);
    imgLogo_active = Picture::FromResource(IDR_LOGO_ACTIVE);
    imgLogo_inactive = Picture::FromResource(IDR_LOGO_INACTIVE);
    imgSet = Picture::FromResource(IDR_SET);
    imgSet_over = Picture::FromResource(IDR_SET_OVER);
    imgGo = Picture::FromResource(IDR_GO);
    imgGo_over = Picture::FromResource(IDR_GO_OVER);
    imgLogoSmall = Picture::FromResource(IDR_LOGO_SMALL);
    imgBackgroundSmall = Picture::FromResource(IDR_BACKGROUND_SMALL);
    imgCloseWindow = Picture::FromResource(IDR_CLOSE_WINDOW);
    StartCycle();
}

void TfrmResources::StartCycle() {
    cycleRunning_ = ::SetTimer(hwnd(), tmrCycleTimer, kCyclePeriodMs, nullptr) != 0;
}

void TfrmResources::StopCycle() {
    ::KillTimer(hwnd(), tmrCycleTimer);
    cycleRunning_ = false;
}

void TfrmResources::tmrCycleTimerTimer() {
    if (!IsInternetConnected() && SignedIn) {
        SignOut(false);
    }
    // The hourly check waits for an exchange that runs now (a pick, a sign-in's follow-up): it
    // runs at the first tick after it.
    if (CycleTicks >= kTicksPerCheck && !ExchangeRuns()) {
        CycleTicks = 0;
        StopCycle();
        // Started again on every way out of the check, an error of its wallpaper request among
        // them: a cycle left stopped would never notice a lost connection or retry a sign-in.
        struct CycleRestart {
            TfrmResources& form;
            ~CycleRestart() { form.StartCycle(); }
        } restart{*this};
        if (SignedIn) {
            CheckKeepExpiry();
        }
    }
    ++CycleTicks;
    StartSignIn(stCycle);
}

LRESULT TfrmResources::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == tmrCycleTimer) {
                resumeCheck_.CycleTicked();
                tmrCycleTimerTimer();
                return 0;
            }
            break;
        case WM_POWERBROADCAST:
            if (resumeCheck_.PowerNotice(static_cast<uint32_t>(wParam), cycleRunning_)) {
                // The system need not wait for the tick's exchange, which lets messages run; once
                // answered, what this thread sends meanwhile is taken as its own again.
                ::ReplyMessage(TRUE);
                // No tick ran during sleep: the hourly check runs now, with the rest of the tick,
                // on whatever network the machine woke up in.
                ForgetSystemRoutes();
                CycleTicks = kTicksPerCheck;
                tmrCycleTimerTimer();
            }
            return TRUE;
        case WM_CLOSE:
            if (FormCloseQuery()) {
                Application::Terminate();
            }
            return 0;
        case WM_QUERYENDSESSION:
            return WMQueryEndSession();
        case WM_ENDSESSION:
            // The session ends now: the loops unwind, an exchange among them, and the settings
            // are stored on the way out.
            if (wParam) {
                Application::Terminate();
            }
            return 0;
        case kLoginOutcomeMessage:
            LoginOutcomeHandedOver();
            return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

bool TfrmResources::FormCloseQuery() {
    if (SessionEnding) {
        SignOut(false);
        SaveSettings();
        return true;
    }
    HideAllWindows();
    return false;
}

LRESULT TfrmResources::WMQueryEndSession() {
    SignOut(false);
    // A failed save leaves the query unanswered: its error reaches the user instead.
    SaveSettings();
    SessionEnding = true;
    return 1;
}

void HideAllWindows() {
    ForEachForm([](Window& form, const FormRole& role) {
        if (role.hiddenByHideAll) {
            form.Hide();
        }
    });
    if (frmMain) {
        frmMain->notifypopup.HideNotifications();
    }
    EndModalRuns(kModalClosedByProgram);
}
