#include "signin/sign_in_rules.h"

#include <cstring>

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

bool StaysUnencoded(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           (c != '\0' && std::strchr("!$'()*-._@", c) != nullptr);
}

}  // namespace

SignInDecisions DecideSignIn(SignInTrigger trigger, const SignInSituation& situation) {
    SignInDecisions decisions = ByTrigger(trigger, situation);
    if (situation.signInBusy) {
        decisions.animation = decisions.startWorker = false;
    }
    return decisions;
}

std::string EncodeQueryValue(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char c : text) {
        if (StaysUnencoded(c)) {
            encoded += static_cast<char>(c);
        } else if (c == ' ') {
            encoded += '+';
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 15];
        }
    }
    return encoded;
}

std::string LoginPath(const std::string& email, const std::string& password) {
    return "/actions/login.php?un=" + EncodeQueryValue(email) + "&pw=" + EncodeQueryValue(password);
}

OkReply ParseOkReply(const std::string& body) {
    const size_t marker = body.find("[OK]");
    if (marker == std::string::npos) {
        return {};
    }
    return {true, body.substr(marker + 4)};
}
