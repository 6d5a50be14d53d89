#include "signin/sign_in.h"

#include <windows.h>

#include <memory>

#include "ui/error_guard.h"
#include "ui/form_table.h"
#include "ui/message_pump.h"
#include "ui/modal.h"
#include "service/exchange.h"
#include "service/http_setup.h"
#include "service/news.h"
#include "service/wallpaper_request.h"
#include "settings/keep_schedule.h"
#include "settings/settings_record.h"
#include "signin/connection_failure_window.h"
#include "signin/login_thread.h"
#include "signin/sign_in_owner.h"

int32_t LoginResultCode = 0;
bool SignInBusy = false;
bool SignedIn = false;
bool SignedOutByUser = false;
bool ReportConnectionFailure = false;

namespace {

constexpr UINT kLoginPollMs = 1000;
UINT_PTR loginTimer = 0;
// Counts every sign-in and sign-out, never 0: an exchange tells by it whether its session stands.
uint32_t sessionNumber = 1;

void NextSession() {
    if (++sessionNumber == 0) {
        sessionNumber = 1;
    }
}
// The hand-over of the running sign-in, until its outcome has been taken.
std::shared_ptr<LoginHandOver> runningHandOver;

// A thread timer's callback is a dispatch point of its own: no window procedure guards it.
void CALLBACK TLoginTimer(HWND, UINT, UINT_PTR, DWORD) {
    RunGuarded(&LoginResult);
}

// Takes a handed-over outcome on the user-interface thread: the code into LoginResultCode, the
// id into the settings record.
void PublishResult(const LoginOutcome& outcome) {
    if (outcome.resultCode == LoginAccepted) {
        recSETTINGS.loginid = outcome.loginid;
    }
    LoginResultCode = outcome.resultCode;
}

// Publishes the running sign-in's outcome once its worker has handed it over. True when an
// outcome was taken now.
bool TakeHandedOverOutcome() {
    if (!runningHandOver) {
        return false;
    }
    const std::optional<LoginOutcome> outcome = runningHandOver->Take();
    if (!outcome) {
        return false;
    }
    runningHandOver.reset();
    PublishResult(*outcome);
    return true;
}

void StopLoginTimer() {
    if (loginTimer) {
        ::KillTimer(nullptr, loginTimer);
        loginTimer = 0;
    }
}

void StartWorker() {
    LoginResultCode = LoginPending;
    SignInBusy = true;
    DispatchWaitingMessages();
    TLOGINTHREAD worker;
    worker.SetCredentials(recSETTINGS.nickname, recSETTINGS.password);
    worker.SetProxy(CurrentProxySettings());
    runningHandOver = std::make_shared<LoginHandOver>();
    TLOGINTHREAD::Start(std::move(worker), runningHandOver, TheSignInOwner().OutcomeWindow());
    StopLoginTimer();
    loginTimer = ::SetTimer(nullptr, 0, kLoginPollMs, &TLoginTimer);
}

SignInSituation CurrentSituation() {
    SignInSituation s;
    s.autologin = recSETTINGS.autologin;
    s.signedOutByUser = SignedOutByUser;
    s.signedIn = SignedIn;
    s.signInWindowVisible = TheSignInOwner().SignInWindowVisible();
    s.mainWindowVisible = TheSignInOwner().MainWindowVisible();
    s.signInBusy = SignInBusy;
    s.loginResultCode = LoginResultCode;
    return s;
}

// The first steps of every taken result.
void EndSignIn() {
    StopLoginTimer();
    SignInBusy = false;
    StopSignInAnimation();
    DispatchWaitingMessages();
}

void Accepted() {
    TheSignInOwner().StartCycle();
    SignedIn = true;
    NextSession();
    // The follow-up is one exchange of the new session: nothing else starts one until it ends.
    const ServiceExchange exchange;
    EndSignIn();
    if (!exchange.SessionStands()) {
        return;
    }
    TheSignInOwner().ShowSignedIn();
    if (!recSETTINGS.keepdaysoff) {
        CheckKeepExpiry();
    } else if (!RequestCurrentWallpaper(nullptr)) {
        if (exchange.SessionStands()) {
            SignOut(false);
        }
        return;
    }
    // A sign-out meanwhile is the user's: no news follows it, and no later failure undoes it.
    if (exchange.SessionStands() && !FetchNews() && exchange.SessionStands()) {
        SignOut(false);
    }
}

}  // namespace

void StartSignIn(SignInTrigger trigger) {
    SignInOwner& owner = TheSignInOwner();
    owner.StopCycle();
    const SignInDecisions decisions = DecideSignIn(trigger, CurrentSituation());
    if (decisions.reportConnectionFailure != SignInDecisions::Report::Unchanged) {
        ReportConnectionFailure = decisions.reportConnectionFailure == SignInDecisions::Report::Set;
    }
    if (decisions.restoreSignInImage) {
        owner.RestoreSignInImage();
    }
    if (decisions.showMainWindow) {
        owner.ShowMainWindow();
    }
    if (decisions.showSignInWindow) {
        owner.SetLogo(false);
        owner.ShowSignInWindow();
    }
    if (decisions.animation) {
        owner.ShowSignInAnimation();
    }
    if (decisions.startWorker) {
        StartWorker();
    }
    if (!SignInBusy) {
        owner.StartCycle();
    }
}

uint32_t StandingSession() {
    return SignedIn ? sessionNumber : 0;
}

void LoginOutcomeHandedOver() {
    // An accepted sign-in starts exchanges of its own: the outcome waits for the running one to
    // end, and the poll timer takes it then.
    if (ExchangeRuns()) {
        return;
    }
    if (TakeHandedOverOutcome()) {
        LoginResult();
    }
}

void LoginResult() {
    if (ExchangeRuns()) {
        return;
    }
    TakeHandedOverOutcome();
    switch (LoginResultCode) {
        case LoginAccepted:
            Accepted();
            break;
        case LoginNoConnection:
            EndSignIn();
            SignOut(false);
            if (ReportConnectionFailure) {
                ShowConnectionFailure();
            }
            TheSignInOwner().StartCycle();
            break;
        case LoginRejected:
            EndSignIn();
            SignOut(false);
            ShowMessage(kLoginFailedMessage);
            TheSignInOwner().ShowSignInWindow();
            break;
        default:
            break;  // still running
    }
}

void SignOut(bool byUser) {
    NextSession();
    SignedOutByUser = byUser;
    TheSignInOwner().StartCycle();
    SignedIn = false;
    if (!recSETTINGS.autologin) {
        recSETTINGS.password.clear();
    }
    ForEachForm([](Window& form, const FormRole& role) {
        if (role.closedBySignOut) {
            form.Close();
        }
    });
    TheSignInOwner().ShowSignedOut();
}

void ResetSignInState() {
    StopLoginTimer();
    runningHandOver.reset();
    LoginResultCode = 0;
    SignInBusy = false;
    SignedIn = false;
    SignedOutByUser = false;
    ReportConnectionFailure = false;
}

void StopSignInAnimation() {
    SignInOwner& owner = TheSignInOwner();
    owner.HideSignInAnimation();
    if (SignedIn) {
        owner.HideMainWindow();
    }
}

void ShowConnectionFailure() {
    TheSignInOwner().SetLogo(false);
    if (!frmPopop) {
        return;
    }
    if (frmPopop->IsVisible()) {
        frmPopop->Activate();
    } else {
        ShowModal(*frmPopop);
    }
}
