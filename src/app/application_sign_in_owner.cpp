#include "app/application_sign_in_owner.h"

#include "app/main_window.h"
#include "app/resource_window.h"
#include "signin/sign_in_window.h"
#include "windows/settings_window.h"

// The main window and the resource window are made first and go last; the checks are for the
// moments before and after, when start-up or the end of a test runs messages.

void ApplicationSignInOwner::StartCycle() {
    if (frmResources) {
        frmResources->StartCycle();
    }
}

void ApplicationSignInOwner::StopCycle() {
    if (frmResources) {
        frmResources->StopCycle();
    }
}

HWND ApplicationSignInOwner::OutcomeWindow() const {
    return frmResources ? frmResources->hwnd() : nullptr;
}

bool ApplicationSignInOwner::MainWindowVisible() const {
    return frmMain && frmMain->IsVisible();
}

void ApplicationSignInOwner::ShowMainWindow() {
    if (frmMain) {
        frmMain->ShowForSignIn();
    }
}

void ApplicationSignInOwner::HideMainWindow() {
    if (frmMain) {
        frmMain->Hide();
    }
}

void ApplicationSignInOwner::RestoreSignInImage() {
    if (frmMain) {
        frmMain->RestoreSignInImage();
    }
}

void ApplicationSignInOwner::SetLogo(bool active) {
    if (frmMain) {
        frmMain->SetLogo(active);
    }
}

void ApplicationSignInOwner::ShowSignInAnimation() {
    if (frmMain) {
        frmMain->ShowSignInAnimation();
    }
}

void ApplicationSignInOwner::HideSignInAnimation(bool signedIn) {
    if (frmMain) {
        frmMain->HideSignInAnimation();
        if (!signedIn) {
            frmMain->SetTrayImage(kSignedOutImage);
        }
    }
}

void ApplicationSignInOwner::ShowSignedIn() {
    if (frmMain) {
        frmMain->SetMenuState(true);
        // While the session's first request goes out.
        frmMain->SetTrayImageSoon(kSignedInImage);
    }
}

void ApplicationSignInOwner::ShowSignedOut() {
    if (frmMain) {
        frmMain->notifypopup.CloseAllNotifications();
        frmMain->SetMenuState(false);
        frmMain->SetTrayImage(kSignedOutImage);
    }
}

void ApplicationSignInOwner::ShowProxySettings() {
    if (frmSettings) {
        frmSettings->ShowProxyPage();
    }
}

bool ApplicationSignInOwner::SignInWindowVisible() const {
    return frmRegisterLogin && frmRegisterLogin->IsVisible();
}

void ApplicationSignInOwner::ShowSignInWindow() {
    // Start-up runs messages before the sign-in window exists.
    if (!frmRegisterLogin) {
        return;
    }
    frmRegisterLogin->ShowModalOrActivate();
}
