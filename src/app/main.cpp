// Process start and end: settings first, then the seven windows in their fixed order, the message
// loop, and the settings stored once more at the end.

#include <windows.h>

#include "app/application.h"
#include "app/forms.h"
#include "components/modal.h"
#include "components/window.h"
#include "components/win_handles.h"
#include "settings/registry_key.h"
#include "settings/settings_store.h"

namespace {

void RunApplication() {
    const OleInitialization ole;
    const GdiplusInitialization gdiplus;
    Application& application = TheApplication();
    application.Initialize();
    {
        ApplicationForms forms;
        if (forms.Create(application.hwnd())) {
            application.Run();
        }
    }
    application.Destroy();
    UnregisterWindowClasses();
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
