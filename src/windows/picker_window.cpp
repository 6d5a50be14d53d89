#include "windows/picker_window.h"

namespace {

const FormDescription kForm = {"TfrmWPPicker",
                               "Get another MURLO",
                               WS_POPUP | WS_CAPTION | WS_SYSMENU,
                               0,
                               CW_USEDEFAULT,
                               CW_USEDEFAULT,
                               365,
                               249,
                               COLOR_WINDOW};

}  // namespace

void TfrmWPPicker::Create(HWND owner) {
    CreateForm(kForm, owner);
}
