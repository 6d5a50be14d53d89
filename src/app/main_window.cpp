#include "app/main_window.h"

#include "app/application.h"
#include "app/command_line.h"
#include "components/modal.h"
#include "settings/settings_record.h"

namespace {

const FormDescription kMainWindow = {"TfrmMain", kApplicationTitle, WS_POPUP, 0, 504, 287, 226,
                                     226,        COLOR_WINDOW};

}  // namespace

bool TfrmMain::Create(HWND owner) {
    MainInstance = std::make_unique<TMainInstance>(owner);
    if (MainInstance->AnotherInstanceRuns()) {
        return false;
    }
    CreateForm(kMainWindow, owner);
    NetKeepAlive1 = std::make_unique<KeepAliveScope>(
        KeepAlive{[] { TheApplication().ProcessMessages(); }, /*onlyWhenIdle=*/false});
    FormCreate();
    return true;
}

void TfrmMain::FormCreate() {
    const char* commandLine = ::GetCommandLineA();
    if (HasSwitch(commandLine, kBootSwitch)) {
        recSETTINGS.bootstart = true;
    }
    if (HasSwitch(commandLine, kUninstallSwitch)) {
        TheApplication().Terminate();
        return;
    }
}
