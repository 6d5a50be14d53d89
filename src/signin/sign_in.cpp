#include "signin/sign_in.h"

#include <windows.h>

#include <memory>
#include <utility>

#include "service/exchange.h"
#include "service/http_setup.h"
#include "service/news.h"
#include "service/service_state.h"
#include "service/wallpaper_request.h"
#include "service/xml_request.h"
#include "settings/settings_record.h"
#include "signin/connection_failure_window.h"
#include "signin/login_thread.h"
#include "signin/sign_in_owner.h"
#include "ui/error_guard.h"
#include "ui/form_table.h"
#include "ui/message_pump.h"
#include "ui/prompt.h"

int32_t LoginResultCode = 0;
bool SignInBusy = false;
bool SignedIn = false;
bool SignedOutByUser = false;
bool ReportConnectionFailure = false;

namespace {

constexpr UINT kLoginPollMs = 1000;

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

// What the sign-in keeps beside the system's variables above: whom it reports to, the count of
// its sessions, and the running sign-in's hand-over and poll timer.
class SignIn {
  public:
    SignInOwner& Owner() { return owner_ ? *owner_ : nobody_; }
    // Makes owner the one reported to; returns the previous one.
    SignInOwner* ReplaceOwner(SignInOwner* owner) { return std::exchange(owner_, owner); }

    uint32_t Session() const { return session_; }
    void NextSession() {
        if (++session_ == 0) {
            session_ = 1;
        }
    }

    // Starts the worker on its thread, to hand its outcome over to this sign-in, and the poll.
    void StartWorker(TLOGINTHREAD worker) {
        handOver_ = std::make_shared<LoginHandOver>();
        TLOGINTHREAD::Start(std::move(worker), handOver_, Owner().OutcomeWindow());
        StopPoll();
        pollTimer_ = ::SetTimer(nullptr, 0, kLoginPollMs, &TLoginTimer);
    }

    // Publishes the running sign-in's outcome once its worker has handed it over. True when an
    // outcome was taken now.
    bool TakeHandedOverOutcome() {
        if (!handOver_) {
            return false;
        }
        const std::optional<LoginOutcome> outcome = handOver_->Take();
        if (!outcome) {
            return false;
        }
        handOver_.reset();
        PublishResult(*outcome);
        return true;
    }

    void StopPoll() {
        if (pollTimer_) {
            ::KillTimer(nullptr, pollTimer_);
            pollTimer_ = 0;
        }
    }

    // No sign-in runs and none is left to take.
    void Reset() {
        StopPoll();
        handOver_.reset();
    }

  private:
    // Before the application sets its owner, and after it has gone, a sign-in shows nothing.
    SignInOwner nobody_;
    SignInOwner* owner_ = nullptr;
    // Counts every sign-in and sign-out, never 0: an exchange tells by it whether its session
    // stands.
    uint32_t session_ = 1;
    // The hand-over of the running sign-in, until its outcome has been taken.
    std::shared_ptr<LoginHandOver> handOver_;
    UINT_PTR pollTimer_ = 0;
};

// The sign-in is started and carried on from the windows, the tray, the cycle, a thread timer's
// callback and the exchanges' owner, which share no object below the application, and its
// system-given variables above are the process's anyway: its own state is one object beside them.
SignIn signIn;

void StartWorker() {
    LoginResultCode = LoginPending;
    SignInBusy = true;
    DispatchWaitingMessages();
    ForgetSystemRoutes();
    // Read now rather than between the login's reply and the wallpaper request.
    SystemComputerId();
    TLOGINTHREAD worker;
    worker.SetCredentials(recSETTINGS.nickname, recSETTINGS.password);
    worker.SetProxy(CurrentProxySettings());
    worker.SetLimits(TheServiceState().limits);
    signIn.StartWorker(std::move(worker));
}

SignInSituation CurrentSituation() {
    SignInSituation s;
    s.autologin = recSETTINGS.autologin;
    s.signedOutByUser = SignedOutByUser;
    s.signedIn = SignedIn;
    s.signInWindowVisible = signIn.Owner().SignInWindowVisible();
    s.mainWindowVisible = signIn.Owner().MainWindowVisible();
    s.signInBusy = SignInBusy;
    s.loginResultCode = LoginResultCode;
    return s;
}

// The first steps of every taken result.
void EndSignIn() {
    signIn.StopPoll();
    SignInBusy = false;
    StopSignInAnimation();
    DispatchWaitingMessages();
}

void Accepted() {
    signIn.Owner().StartCycle();
    SignedIn = true;
    signIn.NextSession();
    // The follow-up is one exchange of the new session: nothing else starts one until it ends.
    const ServiceExchange exchange;
    EndSignIn();
    if (!exchange.SessionStands()) {
        return;
    }
    signIn.Owner().ShowSignedIn();
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
    SignInOwner& owner = signIn.Owner();
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
    return SignedIn ? signIn.Session() : 0;
}

void LoginOutcomeHandedOver() {
    // An accepted sign-in starts exchanges of its own: the outcome waits for the running one to
    // end, and the poll timer takes it then.
    if (ExchangeRuns()) {
        return;
    }
    if (signIn.TakeHandedOverOutcome()) {
        LoginResult();
    }
}

void LoginResult() {
    if (ExchangeRuns()) {
        return;
    }
    signIn.TakeHandedOverOutcome();
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
            signIn.Owner().StartCycle();
            break;
        case LoginRejected:
            EndSignIn();
            SignOut(false);
            ShowMessage(kLoginFailedMessage);
            signIn.Owner().ShowSignInWindow();
            break;
        default:
            break;  // still running
    }
}

void SignOut(bool byUser) {
    signIn.NextSession();
    SignedOutByUser = byUser;
    signIn.Owner().StartCycle();
    SignedIn = false;
    if (!recSETTINGS.autologin) {
        recSETTINGS.password.clear();
    }
    ForEachForm([](Window& form, const FormRole& role) {
        if (role.closedBySignOut) {
            form.Close();
        }
    });
    signIn.Owner().ShowSignedOut();
}

void ResetSignInState() {
    signIn.Reset();
    LoginResultCode = 0;
    SignInBusy = false;
    SignedIn = false;
    SignedOutByUser = false;
    ReportConnectionFailure = false;
}

void StopSignInAnimation() {
    SignInOwner& owner = signIn.Owner();
    owner.HideSignInAnimation(SignedIn);
    if (SignedIn) {
        owner.HideMainWindow();
    }
}

void ShowConnectionFailure() {
    signIn.Owner().SetLogo(false);
    if (!frmPopop) {
        return;
    }
    frmPopop->ShowModalOrActivate();
}

SignInOwnerScope::SignInOwnerScope(SignInOwner& owner) : previous_(signIn.ReplaceOwner(&owner)) {}

SignInOwnerScope::~SignInOwnerScope() {
    signIn.ReplaceOwner(previous_);
}

SignInOwner& TheSignInOwner() {
    return signIn.Owner();
}
