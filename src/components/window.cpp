#include "components/window.h"

#include <set>
#include <string>

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

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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
    return self ? self->HandleMessage(message, wParam, lParam)
                : ::DefWindowProcA(hwnd, message, wParam, lParam);
}
