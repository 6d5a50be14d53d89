#pragma once
// The seven windows that live from start to end, each reachable through one global reference
// that is set before the window's own creation code runs.

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "app/application_service_owner.h"

class Window;
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

// What the ways out of a state do with a form.
struct FormRole {
    bool closedBySignOut;  // the windows that need a signed-in user
    bool hiddenByHideAll;  // every window the user can see
};

// Owns the seven windows: creates them in their fixed order and destroys them in reverse order,
// clearing the global references. One table says which they are and what each way out does
// with them.
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
    friend void ForEachForm(const std::function<void(Window&, const FormRole&)>& visit);
    struct Created {
        FormRole role;
        std::unique_ptr<Window> form;
        void (*clearGlobal)();
    };
    std::vector<Created> created_;
    // The exchanges report to the application while its windows live.
    ApplicationServiceOwner serviceOwner_;
    ServiceOwnerScope serviceOwnerScope_{serviceOwner_};
};

// Visits the forms created so far, in creation order; during start-up the later ones do not exist
// yet and are not visited.
void ForEachForm(const std::function<void(Window&, const FormRole&)>& visit);
