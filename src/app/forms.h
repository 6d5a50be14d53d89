#pragma once
// The seven windows that live from start to end, each reachable through one global reference
// that is set before the window's own creation code runs.

#include <windows.h>

#include <memory>

class TfrmResources;
class TfrmMain;
class TfrmRegisterLogin;
class TfrmWPPicker;
class TfrmWPSetTime;
class TfrmSettings;
class TfrmPopop;

extern TfrmResources* frmResources;
extern TfrmMain* frmMain;
extern TfrmRegisterLogin* frmRegisterLogin;
extern TfrmWPPicker* frmWPPicker;
extern TfrmWPSetTime* frmWPSetTime;
extern TfrmSettings* frmSettings;
extern TfrmPopop* frmPopop;

// Owns the seven windows: creates them in their fixed order and destroys them in reverse order,
// clearing the global references.
class ApplicationForms {
  public:
    ApplicationForms();
    ApplicationForms(const ApplicationForms&) = delete;
    ApplicationForms& operator=(const ApplicationForms&) = delete;
    ~ApplicationForms();

    // Returns false when another instance runs and this process must end at once; the windows
    // after the main window are then not created.
    bool Create(HWND applicationWindow);

  private:
    std::unique_ptr<TfrmResources> resources_;
    std::unique_ptr<TfrmMain> main_;
    std::unique_ptr<TfrmRegisterLogin> registerLogin_;
    std::unique_ptr<TfrmWPPicker> picker_;
    std::unique_ptr<TfrmWPSetTime> setTime_;
    std::unique_ptr<TfrmSettings> settings_;
    std::unique_ptr<TfrmPopop> popop_;
};
