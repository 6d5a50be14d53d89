// Process start and end: settings first, then the seven windows in their fixed order, the message
// loop, and the settings stored once more at the end.

#include <windows.h>

#include "app/application.h"
#include "app/forms.h"
#include "settings/settings_store.h"
#include "ui/error_guard.h"
#include "ui/prompt.h"
#include "ui/system_library.h"
#include "ui/win_handles.h"
#include "ui/window.h"

namespace {

// False when another instance runs: this process has handed over to it.
bool RunApplication() {
    const OleInitialization ole;
    const GdiplusInitialization gdiplus;
    Application application;
    application.Initialize();
    bool firstInstance = true;
    {
        ApplicationForms forms;
        // Start-up is a dispatch point of its own: no window procedure guards it. An error in it
        // is shown, and the client goes on with the windows it has.
        RunGuarded([&] { firstInstance = forms.Create(application.hwnd()); });
        if (firstInstance) {
            application.Run();
        }
    }
    application.Destroy();
    return firstInstance;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LimitLibrarySearchToSystemFolder();
    // Before anything that may tell the user of an error.
    SetMessageCaption(kApplicationTitle);
    RunGuarded(&LoadSettings);
    // A process that handed over has nothing of its own to store, and writing back what it loaded
    // could overwrite what the running instance stores as it ends after "-uninstall".
    if (!RunApplication()) {
        return 0;
    }
    RunGuarded(&SaveSettings);
    return 0;
}
