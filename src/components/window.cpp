#include "components/window.h"

#include <algorithm>
#include <exception>
#include <set>
#include <string>
#include <vector>

#include "components/modal.h"

namespace {

// The icon of the program's resources, shown by every window that has a caption.
constexpr int kApplicationIconId = 1;

void RegisterFormClass(const FormDescription& form, WNDPROC procedure) {
    static std::set<std::string> registered;
    if (!registered.insert(form.className).second) {
        return;
    }
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(kApplicationIconId));
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = ::GetSysColorBrush(form.backgroundColorIndex);
    wc.lpszClassName = form.className;
    ::RegisterClassExA(&wc);
}

}  // namespace

Window::~Window() {
    if (hwnd_) {
        ::DestroyWindow(hwnd_);
    }
}

void Window::CreateForm(const FormDescription& form, HWND owner) {
    RegisterFormClass(form, &Window::WindowProc);
    RECT frame = {0, 0, form.clientWidth, form.clientHeight};
    ::AdjustWindowRectEx(&frame, form.style, FALSE, form.exStyle);
    ::CreateWindowExA(form.exStyle, form.className, form.caption, form.style, form.left, form.top,
                      frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                      ::GetModuleHandleA(nullptr), this);
}

void Window::Show() {
    ::ShowWindow(hwnd_, SW_SHOW);
    ::SetForegroundWindow(hwnd_);
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
    MSG message;
    while (modalResult_ == 0) {
        const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            // The application is ending: leave the quit message for the main loop.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            modalResult_ = kModalClosedByProgram;
            break;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    for (HWND window : disabled) {
        ::EnableWindow(window, TRUE);
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
    if (message == WM_CLOSE) {
        // Closing hides the window; closing a modal one is the user's cancel.
        Close();
        return 0;
    }
    return ::DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* self = static_cast<Window*>(created->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY && self) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (!self) {
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    // No C++ error may cross the system's frames; one that reaches here is shown to the user, the
    // application's top-level error display.
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        ShowError(error);
        return 0;
    }
}
