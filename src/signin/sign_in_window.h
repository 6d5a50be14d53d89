#pragma once
// The sign-in window, where the user enters the e-mail address and password of the account and
// chooses autostart and automatic sign-in.

#include "components/image_control.h"
#include "components/label.h"
#include "components/picture.h"
#include "ui/dialog_form.h"
#include "ui/native_controls.h"

class TfrmRegisterLogin : public DialogForm {
  public:
    void Create(HWND owner);
    // The go button's picture and its picture under the mouse, which the application holds.
    void SetButtonPictures(const Picture& normal, const Picture& hover);

    Edit& Username() { return CreatedControl(txtUsername); }
    Edit& Password() { return CreatedControl(txtPassword); }
    CheckBox& StartWithWindows() { return CreatedControl(chkStartWithWindows); }
    CheckBox& AutoSignin() { return CreatedControl(chkAutoSignin); }
    ImageControl& GoButton() { return CreatedControl(imgGo); }
    Label& RegisterLink() { return CreatedControl(Label2); }
    Label& HelpLink() { return CreatedControl(Label3); }
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
