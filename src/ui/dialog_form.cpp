#include "ui/dialog_form.h"

#include "ui/font.h"

void DialogForm::CreateDialogForm(const FormDescription& form, HWND owner) {
    font_ = CreatePointFont("Verdana", 8);
    CreateForm(form, owner);
}

void DialogForm::EnsureControls() {
    if (!controlsCreated_) {
        controlsCreated_ = true;
        CreateControls();
    }
}

LRESULT DialogForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focused = ::GetFocus();
                if (focused && ::IsChild(hwnd(), focused)) {
                    focus_ = focused;
                }
            } else {
                ::SetFocus(focus_ && ::IsWindow(focus_)
                               ? focus_
                               : ::GetNextDlgTabItem(hwnd(), nullptr, FALSE));
                return 0;
            }
            break;
        case WM_COMMAND:
            // What IsDialogMessage sends for Enter and Esc.
            if (lParam == 0) {
                if (LOWORD(wParam) == IDOK) {
                    OnEnter();
                    return 0;
                }
                if (LOWORD(wParam) == IDCANCEL) {
                    OnEscape();
                    return 0;
                }
            }
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}
