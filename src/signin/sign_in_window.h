#pragma once
// The sign-in window, where the user enters the e-mail address and password of the account and
// chooses autostart and automatic sign-in.

#include "ui/dialog_form.h"
#include "components/image_control.h"
#include "components/picture.h"
#include "components/label.h"
#include "ui/native_controls.h"

class TfrmRegisterLogin : public DialogForm {
  public:
    void Create(HWND owner);
    // The go button's picture and its picture under the mouse, which the application holds.
    void SetButtonPictures(const Picture& normal, const Picture& hover);

    Edit& Username() { return Made(txtUsername); }
    Edit& Password() { return Made(txtPassword); }
    CheckBox& StartWithWindows() { return Made(chkStartWithWindows); }
    CheckBox& AutoSignin() { return Made(chkAutoSignin); }
    ImageControl& GoButton() { return Made(imgGo); }
    Label& RegisterLink() { return Made(Label2); }
    Label& HelpLink() { return Made(Label3); }
    void imgGoClick();

  protected:
    void CreateControls() override;
    void FormShow() override;
    void OnEnter() override { imgGoClick(); }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void CreateLabeledEdit(Label& label, Edit& edit, int top, const char* caption, bool password);
    void FormClose();
    void imgGoMouseMove();
    void FormMouseMove();

    UniqueGdiObject boldFont_;
    UniqueGdiObject linkFont_;
    UniqueGdiObject helpFont_;
    UniqueGdiObject editFont_;
    Label Label1;
    Label Label4;
    Label Label2;
    Label lblUsername;
    Edit txtUsername;
    Label lblPassword;
    Edit txtPassword;
    ImageControl imgGo;
    CheckBox chkStartWithWindows;
    CheckBox chkAutoSignin;
    Label Label3;
};

// The one TfrmRegisterLogin, from its creation at start-up to the end.
extern TfrmRegisterLogin* frmRegisterLogin;
