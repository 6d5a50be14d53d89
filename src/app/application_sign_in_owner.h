#pragma once
// The application's side of the sign-in: the main window and the tray show its state, and the
// resource window's cycle pauses while it runs.

#include "signin/sign_in_owner.h"

class ApplicationSignInOwner : public SignInOwner {
  public:
    void StartCycle() override;
    void StopCycle() override;
    HWND OutcomeWindow() const override;
    bool MainWindowVisible() const override;
    void ShowMainWindow() override;
    void HideMainWindow() override;
    void RestoreSignInImage() override;
    void SetLogo(bool active) override;
    void ShowSignInAnimation() override;
    void HideSignInAnimation(bool signedIn) override;
    void ShowSignedIn() override;
    void ShowSignedOut() override;
    void ShowProxySettings() override;
    bool SignInWindowVisible() const override;
    void ShowSignInWindow() override;
};
