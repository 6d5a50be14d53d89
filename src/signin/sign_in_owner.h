#pragma once
// What the sign-in makes happen in the application above it: the main window's looks, the tray,
// the application's cycle. The application sets the owner at start-up; before that, and after
// its windows are gone, a sign-in shows nothing.

#include <windows.h>

class SignInOwner {
  public:
    virtual ~SignInOwner() = default;

    // The ten-second cycle, stopped while a sign-in runs.
    virtual void StartCycle() {}
    virtual void StopCycle() {}
    // The window that the sign-in worker wakes when its outcome is there.
    virtual HWND OutcomeWindow() const { return nullptr; }

    virtual bool MainWindowVisible() const { return false; }
    // Shows the main window as a signed-out user sees it.
    virtual void ShowMainWindow() {}
    virtual void HideMainWindow() {}
    // The main window's sign-in picture in its first look, not lit by the mouse.
    virtual void RestoreSignInImage() {}
    // The logo lit while nothing else asks for the user's attention.
    virtual void SetLogo(bool /*active*/) {}
    virtual void ShowSignInAnimation() {}
    // Ends the animation in the main window and in the tray, which shows the signed-out icon unless
    // the user is signed in: ShowSignedIn then sets the signed-in one, and an icon in between would
    // cost a round trip to the shell (5 ms under Wine) before the first request of the session.
    virtual void HideSignInAnimation(bool /*signedIn*/) {}
    // The tray's icon and menu for a signed-in or signed-out user; signing out also closes the
    // news popups. The signed-in icon reaches the shell once messages run, while the session's
    // first request is on its way.
    virtual void ShowSignedIn() {}
    virtual void ShowSignedOut() {}
    // The settings window on its proxy page, for a user whose connection failed.
    virtual void ShowProxySettings() {}
    // The sign-in window, where the user enters the account: shown modally, or brought to the
    // front when it is up.
    virtual bool SignInWindowVisible() const { return false; }
    virtual void ShowSignInWindow() {}
};

// Makes owner the one the sign-in reports to, for as long as it lives; the previous one returns
// afterwards.
class SignInOwnerScope {
  public:
    explicit SignInOwnerScope(SignInOwner& owner);
    SignInOwnerScope(const SignInOwnerScope&) = delete;
    SignInOwnerScope& operator=(const SignInOwnerScope&) = delete;
    ~SignInOwnerScope();

  private:
    SignInOwner* previous_;
};

// The owner set now, or one that does nothing.
SignInOwner& TheSignInOwner();
