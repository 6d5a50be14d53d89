#include "ui/dialog_form.h"

#include "ui/dialog_keys.h"
#include "ui/dpi.h"
#include "ui/font.h"
#include "ui/modal.h"
#include "ui/tab_control.h"

namespace {

bool KeyHeld(int key) {
    return ::GetKeyState(key) < 0;
}

}  // namespace

void DialogForm::CreateDialogForm(const FormDescription& form, HWND owner) {
    CreateForm(form, owner);
    font_ = CreatePointFont("Verdana", 8, 0, WindowDpi(hwnd()));
}

void DialogForm::DpiChanged(int, int newDpi) {
    font_ = CreatePointFont("Verdana", 8, 0, newDpi);
}

void DialogForm::BeforeFormShow() {
    EnsureControls();
    ::SendMessageA(hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
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
                RestoreFocus();
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

bool DialogForm::PreTranslateMessage(MSG& message) {
    if (message.message == WM_KEYDOWN) {
        if (message.wParam == VK_TAB && KeyHeld(VK_CONTROL) && pages_) {
            pages_->SelectNextPage(KeyHeld(VK_SHIFT) ? -1 : 1);
            // The focus may have been on the page that is hidden now: it goes to the tabs.
            if (!::IsWindowVisible(::GetFocus())) {
                ::SetFocus(pages_->hwnd());
            }
            return true;
        }
        // The client's own controls are tab stops too, which the system's dialog keys do not
        // walk in the order they were made.
        if (message.wParam == VK_TAB && !KeyHeld(VK_CONTROL)) {
            return MoveFocusByTab(hwnd(), KeyHeld(VK_SHIFT));
        }
        // The system's dialog keys press only a default button on Enter; a dialog box presses
        // the focused one, so that Enter on Cancel cancels.
        if (message.wParam == VK_RETURN && PressFocusedControl(hwnd())) {
            return true;
        }
    }
    return ::IsDialogMessageA(hwnd(), &message) != FALSE;
}

void DialogForm::Activate() {
    ::SetForegroundWindow(hwnd());
    const HWND focused = ::GetFocus();
    if (!focused || !::IsChild(hwnd(), focused)) {
        RestoreFocus();
    }
}

void DialogForm::RestoreFocus() {
    ::SetFocus(focus_ && ::IsWindowVisible(focus_) && ::IsWindowEnabled(focus_)
                   ? focus_
                   : ::GetNextDlgTabItem(hwnd(), nullptr, FALSE));
}

void DialogForm::ShowModalOrActivate() {
    if (IsVisible()) {
        Activate();
    } else {
        ShowModal(*this);
    }
}
