#include "signin/sign_in_window.h"

namespace {

const FormDescription kForm = {"TfrmRegisterLogin",
                               "Sign in",
                               WS_POPUP | WS_CAPTION | WS_SYSMENU,
                               WS_EX_TOPMOST,
                               402,
                               276,
                               279,
                               252,
                               COLOR_WINDOW};

}  // namespace

void TfrmRegisterLogin::Create(HWND owner) {
    CreateForm(kForm, owner);
}
