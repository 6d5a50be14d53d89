// Process start and end: settings first, then the seven windows in their fixed order, the message
// loop, and the settings stored once more at the end.

#include <windows.h>

#include <memory>

#include "app/application.h"
#include "app/forms.h"
#include "app/main_window.h"
#include "app/resource_window.h"
#include "components/modal.h"
#include "components/win_handles.h"
#include "settings/registry_key.h"
#include "settings/settings_store.h"
#include "signin/connection_failure_window.h"
#include "signin/sign_in_window.h"
#include "windows/keep_window.h"
#include "windows/picker_window.h"
#include "windows/settings_window.h"

namespace {

// Owns the windows for the process's lifetime; they are destroyed in reverse order of creation.
struct Forms {
    std::unique_ptr<TfrmResources> resources;
    std::unique_ptr<TfrmMain> main;
    std::unique_ptr<TfrmRegisterLogin> registerLogin;
    std::unique_ptr<TfrmWPPicker> picker;
    std::unique_ptr<TfrmWPSetTime> setTime;
    std::unique_ptr<TfrmSettings> settings;
    std::unique_ptr<TfrmPopop> popop;

    ~Forms() {
        popop.reset();
        settings.reset();
        setTime.reset();
        picker.reset();
        registerLogin.reset();
        main.reset();
        resources.reset();
    }
};

// Each global reference is set before the window's own creation code runs.
template <typename Form>
void CreateGlobalForm(std::unique_ptr<Form>& owner, Form*& global, HWND applicationWindow) {
    owner = std::make_unique<Form>();
    global = owner.get();
    owner->Create(applicationWindow);
}

// Returns false when another instance runs and this process must end at once.
bool CreateForms(Forms& forms, HWND applicationWindow) {
    CreateGlobalForm(forms.resources, frmResources, applicationWindow);
    forms.main = std::make_unique<TfrmMain>();
    frmMain = forms.main.get();
    if (!forms.main->Create(applicationWindow)) {
        return false;
    }
    CreateGlobalForm(forms.registerLogin, frmRegisterLogin, applicationWindow);
    CreateGlobalForm(forms.picker, frmWPPicker, applicationWindow);
    CreateGlobalForm(forms.setTime, frmWPSetTime, applicationWindow);
    CreateGlobalForm(forms.settings, frmSettings, applicationWindow);
    CreateGlobalForm(forms.popop, frmPopop, applicationWindow);
    return true;
}

void RunApplication() {
    const ComInitialization com;
    const GdiplusInitialization gdiplus;
    Application& application = TheApplication();
    application.Initialize();
    Forms forms;
    if (CreateForms(forms, application.hwnd())) {
        application.Run();
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LoadSettings();
    RunApplication();
    try {
        SaveSettings();
    } catch (const RegistryError& error) {
        ShowError(error);
    }
    return 0;
}
