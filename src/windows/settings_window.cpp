#include "windows/settings_window.h"

namespace {

const FormDescription kForm = {"TfrmSettings",
                               "Settings",
                               WS_POPUP | WS_CAPTION | WS_SYSMENU,
                               0,
                               CW_USEDEFAULT,
                               CW_USEDEFAULT,
                               432,
                               381,
                               COLOR_WINDOW};

}  // namespace

void TfrmSettings::Create(HWND owner) {
    CreateForm(kForm, owner);
}
