#include "windows/keep_window.h"

namespace {

const FormDescription kForm = {"TfrmWPSetTime",
                               "Keep this murlo",
                               WS_POPUP | WS_CAPTION | WS_SYSMENU,
                               0,
                               CW_USEDEFAULT,
                               CW_USEDEFAULT,
                               211,
                               101,
                               COLOR_WINDOW};

}  // namespace

void TfrmWPSetTime::Create(HWND owner) {
    CreateForm(kForm, owner);
}
