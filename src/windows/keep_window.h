#pragma once
// The keep-this window, where the user keeps the current wallpaper for one to seven days: one
// sentence made of a label, the number chosen and a label, and the set image.

#include "components/image_control.h"
#include "components/label.h"
#include "components/picture.h"
#include "ui/dialog_form.h"
#include "ui/native_controls.h"

class TfrmWPSetTime : public DialogForm {
  public:
    void Create(HWND owner);
    // The set button's picture and its picture under the mouse, which the application holds.
    void SetButtonPictures(const Picture& normal, const Picture& hover);

    DropDownList& Days() { return CreatedControl(cmbDays); }
    Label& KeepLabel() { return CreatedControl(Label1); }
    void imgSetClick();

  protected:
    void CreateControls() override;
    void FormShow() override;
    void OnEnter() override { imgSetClick(); }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void imgSetMouseMove();
    void FormMouseMove();

    Label Label1;
    DropDownList cmbDays;
    Label Label2;
    ImageControl imgSet;
};

// The one TfrmWPSetTime, from its creation at start-up to the end.
extern TfrmWPSetTime* frmWPSetTime;
