#include "ui/dialog_form.h"

#include "ui/dpi.h"
#include "ui/font.h"
#include "ui/tab_control.h"

namespace {

// A button that a click presses, as opposed to a check box or an option.
bool IsPushButton(HWND window) {
    char className[16] = "";
    ::GetClassNameA(window, className, sizeof(className));
    if (lstrcmpiA(className, "Button") != 0) {
        return false;
    }
    const LONG type = ::GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW;
}

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
        // The system's dialog keys press only a default button on Enter; a dialog box presses
        // the focused one, so that Enter on Cancel cancels.
        const HWND focused = ::GetFocus();
        if (message.wParam == VK_RETURN && ::IsChild(hwnd(), focused) && IsPushButton(focused)) {
            ::SendMessageA(focused, BM_CLICK, 0, 0);
            return true;
        }
    }
    return ::IsDialogMessageA(hwnd(), &message) != FALSE;
}

void DialogForm::RestoreFocus() {
    ::SetFocus(focus_ && ::IsWindowVisible(focus_) && ::IsWindowEnabled(focus_)
                   ? focus_
                   : ::GetNextDlgTabItem(hwnd(), nullptr, FALSE));
}
