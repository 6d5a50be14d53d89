#pragma once
// The small always-on-top window that says the service cannot be reached and leads to the proxy
// settings.

#include "components/label.h"
#include "ui/dialog_form.h"
#include "ui/native_controls.h"

class TfrmPopop : public DialogForm {
  public:
    void Create(HWND owner);

    PushButton& OkButton() { return CreatedControl(cmdClose); }
    void cmdCloseClick();
    void Label2Click();

  protected:
    void CreateControls() override;
    void OnEnter() override { cmdCloseClick(); }
    // No close box: Esc dismisses the window as "OK" does.
    void OnEscape() override { cmdCloseClick(); }

  private:
    UniqueGdiObject linkFont_;
    Label Label1;
    Label Label2;
    Label Label3;
    PushButton cmdClose;
};

// The one TfrmPopop, from its creation at start-up to the end.
extern TfrmPopop* frmPopop;
