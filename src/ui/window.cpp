#include "ui/window.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "ui/error_guard.h"
#include "ui/message_pump.h"
#include "ui/modal.h"
#include "ui/native_control.h"
#include "ui/screen_cursor.h"
#include "ui/top_level_message.h"
#include "ui/window_class.h"

namespace {

// The control a notification is about, by the message's own way of naming it.
HWND NotifyingControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            return reinterpret_cast<HWND>(lParam);  // null for menus and accelerators
        case WM_NOTIFY:
            return reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<HWND>(lParam);
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            return item->CtlType == ODT_MENU ? nullptr : item->hwndItem;
        }
        case WM_MEASUREITEM: {
            const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
            return item->CtlType == ODT_MENU ? nullptr : ::GetDlgItem(parent, item->CtlID);
        }
        default:
            (void)wParam;
            return nullptr;
    }
}

}  // namespace

bool ReflectToControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const HWND control = NotifyingControl(parent, message, wParam, lParam);
    NativeControl* target = control ? NativeControl::FromHandle(control) : nullptr;
    return target && target->Reflect(message, wParam, lParam, result);
}

RECT BoundsInParent(HWND child) {
    RECT bounds;
    ::GetWindowRect(child, &bounds);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

POINT CentredOnWorkArea(int width, int height) {
    RECT area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return {(area.left + area.right - width) / 2, (area.top + area.bottom - height) / 2};
}

Window::~Window() {
    if (hwnd_) {
        // The derived part is gone: the last messages go to the system alone.
        ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        ::DestroyWindow(std::exchange(hwnd_, nullptr));
    }
}

Window* Window::FromHandle(HWND hwnd) {
    // Only windows with this procedure carry an object in their user data.
    if (!hwnd || ::GetWindowLongPtrA(hwnd, GWLP_WNDPROC) !=
                     reinterpret_cast<LONG_PTR>(&Window::WindowProc)) {
        return nullptr;
    }
    return reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void Window::CreateForm(const FormDescription& form, HWND owner) {
    const WindowClass& windowClass = WindowClass::For(form, &Window::WindowProc);
    RECT frame = {0, 0, form.clientWidth, form.clientHeight};
    ::AdjustWindowRectEx(&frame, form.style, FALSE, form.exStyle);
    ::CreateWindowExA(form.exStyle, windowClass.Name(), form.caption, form.style, form.left,
                      form.top, frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                      ::GetModuleHandleA(nullptr), this);
}

void Window::Show() {
    ::ShowWindow(hwnd_, SW_SHOW);
    ::SetForegroundWindow(hwnd_);
}

void Window::Destroy() {
    if (hwnd_) {
        ::DestroyWindow(hwnd_);
    }
}

namespace {

struct DisabledWindows {
    HWND modal;
    std::vector<HWND> windows;
};

BOOL CALLBACK DisableUnlessModal(HWND window, LPARAM lParam) {
    auto* disabled = reinterpret_cast<DisabledWindows*>(lParam);
    if (window != disabled->modal && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
        ::EnableWindow(window, FALSE);
        disabled->windows.push_back(window);
    }
    return TRUE;
}

// The windows in a modal run, innermost last.
std::vector<Window*>& ModalRuns() {
    static std::vector<Window*> runs;
    return runs;
}

// The thread's enabled, visible top-level windows other than the modal one: a modal run disables
// them, as the user must answer it first.
std::vector<HWND> DisableOtherWindows(HWND modal) {
    DisabledWindows disabled{modal, {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), &DisableUnlessModal,
                        reinterpret_cast<LPARAM>(&disabled));
    return disabled.windows;
}

}  // namespace

void Window::SetModalResult(int result) {
    modalResult_ = result;
    if (modal_) {
        // Wakes the modal loop, which may be waiting for a message.
        ::PostMessageA(hwnd_, WM_NULL, 0, 0);
    }
}

void Window::Close() {
    if (modal_) {
        SetModalResult(kModalFailed);
    } else {
        Hide();
    }
}

int Window::RunModalLoop() {
    modalResult_ = 0;
    modal_ = true;
    ModalRuns().push_back(this);
    const std::vector<HWND> disabled = DisableOtherWindows(hwnd_);
    Show();
    // A modal window may open windows of the system's (a hosted control's, a box of its own).
    // Watched from here on, so that its own controls, made at its first showing, are made
    // without the hook's cost.
    const ForeignWindowWatchScope watchItsWindows;
    while (modalResult_ == 0) {
        if (!DispatchNextMessage(true) && QuitRequested()) {
            // The program is ending; the enclosing loops see the same flag.
            modalResult_ = kModalClosedByProgram;
        }
    }
    for (HWND window : disabled) {
        if (::IsWindow(window)) {
            ::EnableWindow(window, TRUE);
        }
    }
    Hide();
    modal_ = false;
    ModalRuns().erase(std::find(ModalRuns().begin(), ModalRuns().end(), this));
    return modalResult_;
}

void Window::EndModalRuns(int result) {
    for (Window* window : ModalRuns()) {
        window->Hide();
        window->SetModalResult(result);
    }
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            // Closing hides the window; closing a modal one is the user's cancel.
            Close();
            return 0;
        case WM_SETCURSOR:
            if (ApplyScreenCursor()) {
                return TRUE;
            }
            break;
    }
    return ::DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT reflected = 0;
    if (ReflectToControl(hwnd_, message, wParam, lParam, reflected)) {
        return reflected;
    }
    return HandleMessage(message, wParam, lParam);
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* self = static_cast<Window*>(created->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) {
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    ReportTopLevelMessage(hwnd, message, wParam);
    LRESULT result = 0;
    RunGuarded([&] { result = self->Dispatch(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnFinalMessage();
    }
    return result;
}
