#include "signin/connection_failure_window.h"

namespace {

const FormDescription kForm = {"TfrmPopop",
                               "Connection failure",
                               WS_POPUP | WS_CAPTION,
                               WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                               201,
                               233,
                               420,
                               85,
                               COLOR_BTNFACE};

}  // namespace

void TfrmPopop::Create(HWND owner) {
    CreateForm(kForm, owner);
}
