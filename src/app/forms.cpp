#include "app/forms.h"

#include "app/main_window.h"
#include "app/resource_window.h"
#include "signin/connection_failure_window.h"
#include "signin/sign_in_window.h"
#include "windows/keep_window.h"
#include "windows/picker_window.h"
#include "windows/settings_window.h"

TfrmResources* frmResources = nullptr;
TfrmMain* frmMain = nullptr;
TfrmRegisterLogin* frmRegisterLogin = nullptr;
TfrmWPPicker* frmWPPicker = nullptr;
TfrmWPSetTime* frmWPSetTime = nullptr;
TfrmSettings* frmSettings = nullptr;
TfrmPopop* frmPopop = nullptr;

namespace {

// The global reference is set before the window's own creation code runs.
template <typename Form>
Form* MakeForm(std::unique_ptr<Form>& owner, Form*& global) {
    owner = std::make_unique<Form>();
    global = owner.get();
    return global;
}

template <typename Form>
void DestroyForm(std::unique_ptr<Form>& owner, Form*& global) {
    owner.reset();
    global = nullptr;
}

}  // namespace

ApplicationForms::ApplicationForms() = default;

ApplicationForms::~ApplicationForms() {
    DestroyForm(popop_, frmPopop);
    DestroyForm(settings_, frmSettings);
    DestroyForm(setTime_, frmWPSetTime);
    DestroyForm(picker_, frmWPPicker);
    DestroyForm(registerLogin_, frmRegisterLogin);
    DestroyForm(main_, frmMain);
    DestroyForm(resources_, frmResources);
}

bool ApplicationForms::Create(HWND applicationWindow) {
    MakeForm(resources_, frmResources)->Create(applicationWindow);
    if (!MakeForm(main_, frmMain)->Create(applicationWindow)) {
        return false;
    }
    MakeForm(registerLogin_, frmRegisterLogin)->Create(applicationWindow);
    MakeForm(picker_, frmWPPicker)->Create(applicationWindow);
    MakeForm(setTime_, frmWPSetTime)->Create(applicationWindow);
    MakeForm(settings_, frmSettings)->Create(applicationWindow);
    MakeForm(popop_, frmPopop)->Create(applicationWindow);
    return true;
}
