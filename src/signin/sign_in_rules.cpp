#include "signin/sign_in_rules.h"

namespace {

using Report = SignInDecisions::Report;

bool CycleMaySignIn(const SignInSituation& s) {
    return s.autologin && !s.signedOutByUser && !s.signedIn && !s.signInWindowVisible &&
           !s.mainWindowVisible && !s.signInBusy && s.loginResultCode != LoginRejected;
}

SignInDecisions ByTrigger(SignInTrigger trigger, const SignInSituation& s) {
    SignInDecisions d;
    switch (trigger) {
        case stTrayMenu:
            d.reportConnectionFailure = Report::Set;
            d.showMainWindow = true;
            d.animation = d.startWorker = s.autologin;
            d.showSignInWindow = !s.autologin;
            break;
        case stSignInImage:
            d.reportConnectionFailure = Report::Set;
            d.restoreSignInImage = true;
            d.animation = d.startWorker = s.autologin;
            d.showMainWindow = d.showSignInWindow = !s.autologin;
            break;
        case stCycle:
            if (CycleMaySignIn(s)) {
                d.reportConnectionFailure = Report::Cleared;
                d.animation = d.startWorker = true;
            }
            break;
        case stSignInWindow:
            d.reportConnectionFailure = Report::Set;
            d.animation = d.startWorker = true;
            break;
        case stLaunch:
            d.reportConnectionFailure = Report::Cleared;
            d.animation = d.startWorker = s.autologin;
            d.showMainWindow = !s.autologin;
            break;
    }
    return d;
}

}  // namespace

SignInDecisions DecideSignIn(SignInTrigger trigger, const SignInSituation& situation) {
    SignInDecisions decisions = ByTrigger(trigger, situation);
    if (situation.signInBusy) {
        decisions.animation = decisions.startWorker = false;
    }
    return decisions;
}
