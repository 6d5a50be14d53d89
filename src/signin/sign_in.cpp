#include "signin/sign_in.h"

#include "app/forms.h"
#include "components/modal.h"
#include "settings/settings_record.h"
#include "signin/connection_failure_window.h"
#include "windows/keep_window.h"
#include "windows/picker_window.h"
#include "windows/settings_window.h"

int32_t LoginResultCode = 0;
bool SignInBusy = false;
bool SignedIn = false;
bool SignedOutByUser = false;
bool ReportConnectionFailure = false;

namespace {

void CloseIfCreated(Window* window) {
    if (window) {
        window->Close();
    }
}

}  // namespace

void SignOut(bool byUser) {
    SignedOutByUser = byUser;
    SignedIn = false;
    if (!recSETTINGS.autologin) {
        recSETTINGS.password.clear();
    }
    CloseIfCreated(frmSettings);
    CloseIfCreated(frmWPPicker);
    CloseIfCreated(frmWPSetTime);
}

void ShowConnectionFailure() {
    if (!frmPopop) {
        return;
    }
    if (frmPopop->IsVisible()) {
        ::SetFocus(frmPopop->hwnd());
    } else {
        ShowModal(*frmPopop);
    }
}
