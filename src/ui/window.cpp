#include "ui/window.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "ui/dpi.h"
#include "ui/error_guard.h"
#include "ui/screen_cursor.h"
#include "ui/top_level_message.h"

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

constexpr UINT_PTR kSubclassId = 0x4D55;  // one subclass of ours per control

// Passes a control notification to the object of the control it is about. Returns true, with
// the result, when the control handled it.
bool ReflectToControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const HWND control = NotifyingControl(parent, message, wParam, lParam);
    Window* target = control ? Window::FromHandle(control) : nullptr;
    return target && target->Reflect(message, wParam, lParam, result);
}

// The top-left corner that centres a box of that size on the primary screen's work area (on the
// screen, should the system not tell the work area).
POINT CentredOnWorkArea(int width, int height) {
    RECT area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return {(area.left + area.right - width) / 2, (area.top + area.bottom - height) / 2};
}

}  // namespace

int NextControlId() {
    static int next = 1000;
    return next++;
}

RECT BoundsInParent(HWND child) {
    RECT bounds;
    ::GetWindowRect(child, &bounds);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

Window::~Window() {
    if (hwnd_) {
        // The derived part is gone: the last messages go to the system alone.
        const HWND window = hwnd_;
        Detach();
        ::DestroyWindow(window);
    }
}

Window* Window::FromHandle(HWND hwnd) {
    if (!hwnd) {
        return nullptr;
    }
    // Only windows with this procedure carry an object in their user data.
    if (::GetWindowLongPtrA(hwnd, GWLP_WNDPROC) ==
        reinterpret_cast<LONG_PTR>(&Window::WindowProc)) {
        return reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    DWORD_PTR self = 0;
    if (::GetWindowSubclass(hwnd, &Window::SubclassProc, kSubclassId, &self)) {
        return reinterpret_cast<Window*>(self);
    }
    return nullptr;
}

RECT Window::Bounds() const {
    return BoundsInParent(hwnd_);
}

void Window::CreateForm(const FormDescription& form, HWND owner) {
    const WindowClass& windowClass = WindowClass::For(form, &Window::WindowProc);
    if ((form.style & WS_CHILD) != 0) {
        // A child stands on its parent, whose DPI is known.
        const int dpi = WindowDpi(owner);
        dpi_ = dpi;
        ::CreateWindowExA(form.exStyle, windowClass.Name(), form.caption, form.style,
                          Scaled(form.left, dpi), Scaled(form.top, dpi),
                          Scaled(form.clientWidth, dpi), Scaled(form.clientHeight, dpi), owner,
                          nullptr, ::GetModuleHandleA(nullptr), this);
        return;
    }
    const RECT frame = FrameAround({0, 0, form.clientWidth, form.clientHeight}, form.style,
                                   form.exStyle, kDesignDpi);
    ::CreateWindowExA(form.exStyle, windowClass.Name(), form.caption, form.style, form.left,
                      form.top, frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                      ::GetModuleHandleA(nullptr), this);
    if (hwnd_) {
        PlaceForDpi(form, owner);
    }
}

void Window::PlaceForDpi(const FormDescription& form, HWND owner) {
    using Centring = FormDescription::Centring;
    // Made at 96 dpi, the window learns its monitor's DPI only once it exists.
    const int dpi = WindowDpi(hwnd_);
    dpi_ = dpi;
    if (dpi == kDesignDpi && form.centring == Centring::None) {
        return;
    }
    const int width = Scaled(form.clientWidth, dpi);
    const int height = Scaled(form.clientHeight, dpi);
    const RECT frame = FrameAround({0, 0, width, height}, form.style, form.exStyle, dpi);
    // Centred is the whole window, its frame with it.
    const int frameWidth = frame.right - frame.left;
    const int frameHeight = frame.bottom - frame.top;
    POINT at = {form.left == CW_USEDEFAULT ? form.left : Scaled(form.left, dpi),
                form.top == CW_USEDEFAULT ? form.top : Scaled(form.top, dpi)};
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    RECT ownerBounds;
    if (form.centring == Centring::Owner && owner && ::GetWindowRect(owner, &ownerBounds)) {
        at = {(ownerBounds.left + ownerBounds.right - frameWidth) / 2,
              (ownerBounds.top + ownerBounds.bottom - frameHeight) / 2};
    } else if (form.centring != Centring::None) {
        at = CentredOnWorkArea(frameWidth, frameHeight);
    } else if (form.left == CW_USEDEFAULT) {
        flags |= SWP_NOMOVE;
    }
    ::SetWindowPos(hwnd_, nullptr, at.x, at.y, frameWidth, frameHeight, flags);
}

void Window::Subclass(HWND hwnd) {
    hwnd_ = hwnd;
    subclassed_ = true;
    ::SetWindowSubclass(hwnd, &Window::SubclassProc, kSubclassId,
                        reinterpret_cast<DWORD_PTR>(this));
}

void Window::Detach() {
    if (subclassed_) {
        ::RemoveWindowSubclass(hwnd_, &Window::SubclassProc, kSubclassId);
    } else {
        ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    }
    hwnd_ = nullptr;
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
        case WM_DPICHANGED:
            // Any program may send the message: a DPI no screen has changes nothing.
            if (IsScreenDpi(HIWORD(wParam)) && lParam) {
                MoveToDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
                return 0;
            }
            break;
    }
    return DefaultHandling(message, wParam, lParam);
}

LRESULT Window::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    return subclassed_ ? ::DefSubclassProc(hwnd_, message, wParam, lParam)
                       : ::DefWindowProcA(hwnd_, message, wParam, lParam);
}

namespace {

BOOL CALLBACK CollectDescendant(HWND child, LPARAM found) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(child);
    return TRUE;
}

}  // namespace

void Window::DpiChanged(int, int) {}

void Window::MoveToDpi(int newDpi, const RECT& proposed) {
    const int oldDpi = dpi_;
    ::SetWindowPos(hwnd_, nullptr, proposed.left, proposed.top, proposed.right - proposed.left,
                   proposed.bottom - proposed.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (newDpi == oldDpi) {
        return;
    }
    // Only the client's own windows: the windows inside a system control (a browser's) are
    // placed by that control when it is resized.
    std::vector<HWND> descendants;
    ::EnumChildWindows(hwnd_, &CollectDescendant, reinterpret_cast<LPARAM>(&descendants));
    descendants.erase(std::remove_if(descendants.begin(), descendants.end(),
                                     [](HWND child) { return FromHandle(child) == nullptr; }),
                      descendants.end());
    for (HWND child : descendants) {
        const RECT bounds = BoundsInParent(child);
        ::SetWindowPos(child, nullptr, ::MulDiv(bounds.left, newDpi, oldDpi),
                       ::MulDiv(bounds.top, newDpi, oldDpi),
                       ::MulDiv(bounds.right - bounds.left, newDpi, oldDpi),
                       ::MulDiv(bounds.bottom - bounds.top, newDpi, oldDpi),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The controls first: a form's old fonts are still theirs to copy.
    for (HWND child : descendants) {
        Window* control = FromHandle(child);
        control->DpiChanged(oldDpi, newDpi);
        control->dpi_ = newDpi;
    }
    DpiChanged(oldDpi, newDpi);
    dpi_ = newDpi;
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

bool Window::HandleAccessibility(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_GETOBJECT) {
        result = AnswerAccessibleObject(hwnd_, wParam, lParam, accessible_);
        return result != 0;
    }
    // Registered messages lie above 0xC000: the common ones never reach the comparison.
    if (message >= 0xC000 && accessible_.press && message == AccessiblePressMessage()) {
        // A copy: the press may change the description.
        const std::function<void()> press = accessible_.press;
        press();
        result = 0;
        return true;
    }
    return false;
}

bool Window::PreTranslateMessage(MSG&) {
    return false;
}

bool Window::Reflect(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    // Shown by the program: a window brought back with its owner carries the reason in lParam.
    if (message == WM_SHOWWINDOW && wParam && lParam == 0) {
        BeforeFormShow();
        FormShow();
    }
    LRESULT handled = 0;
    if (ReflectToControl(hwnd_, message, wParam, lParam, handled) ||
        HandleAccessibility(message, wParam, lParam, handled)) {
        return handled;
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
        self->Detach();
        self->OnFinalMessage();
    }
    return result;
}

LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR self) {
    auto* control = reinterpret_cast<Window*>(self);
    if (message == WM_NCDESTROY) {
        control->Detach();
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    RunGuarded([&] {
        if (!control->HandleAccessibility(message, wParam, lParam, result)) {
            result = control->HandleMessage(message, wParam, lParam);
        }
    });
    return result;
}
