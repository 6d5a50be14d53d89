#include "ui/window.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "ui/dpi.h"
#include "ui/error_guard.h"
#include "ui/pointer_messages.h"
#include "ui/screen_cursor.h"
#include "ui/top_level_message.h"
#include "ui/ui_context.h"
#include "ui/win_handles.h"

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

using SystemHandling = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);

// A message that carries a pointer and comes from another thread is answered here, true with the
// result: by the system's handling alone when the system copied what the pointer names, not at
// all when it passed the pointer as it is. False for every other message.
bool AnswerForeignPointer(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                          SystemHandling systemHandling, LRESULT& result) {
    const PointerMessage pointer = PointerIn(message);
    if (pointer == PointerMessage::None || !SentByAnotherThread()) {
        return false;
    }
    result = pointer == PointerMessage::CopiedBySystem
                 ? systemHandling(hwnd, message, wParam, lParam)
                 : 0;
    return true;
}

LRESULT CALLBACK DropPostedPointers(int code, WPARAM wParam, LPARAM lParam) {
    auto* posted = reinterpret_cast<MSG*>(lParam);
    // A pointer posted to one of the client's windows, by whichever thread, names nothing that
    // is sure to live when the message is taken: the message becomes WM_NULL.
    if (code == HC_ACTION && PointerIn(posted->message) != PointerMessage::None &&
        Window::FromHandle(posted->hwnd)) {
        posted->message = WM_NULL;
        posted->wParam = 0;
        posted->lParam = 0;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Posted messages reach the client's windows through every loop of the thread, the system's own
// (message boxes, menus, a hosted control's) among them: a hook on the thread's queue sees them
// all. It stands from the thread's first window on.
void WatchPostedMessages() {
    UniqueHook& hook = TheUi().postedMessageHook;
    if (!hook) {
        hook.reset(::SetWindowsHookExA(WH_GETMESSAGE, &DropPostedPointers, nullptr,
                                       ::GetCurrentThreadId()));
    }
}

// The top-left corner that centres a box of that size on the primary screen's work area (on the
// screen, should the system not tell the work area).
POINT CentredOnWorkArea(int width, int height) {
    RECT area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return {(area.left + area.right - width) / 2, (area.top + area.bottom - height) / 2};
}

}  // namespace

bool SentByAnotherThread() {
    const DWORD flags = ::InSendMessageEx(nullptr);
    return (flags & (ISMEX_SEND | ISMEX_NOTIFY | ISMEX_CALLBACK)) != 0 &&
           (flags & ISMEX_REPLIED) == 0;
}

int NextControlId() {
    return TheUi().nextControlId++;
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
    const bool child = (form.style & WS_CHILD) != 0;
    POINT at = {form.left, form.top};
    SIZE size;
    if (child) {
        // A child stands on its parent, whose DPI is known.
        dpi_ = WindowDpi(owner);
        at = {Scaled(form.left, dpi_), Scaled(form.top, dpi_)};
        size = {Scaled(form.clientWidth, dpi_), Scaled(form.clientHeight, dpi_)};
    } else {
        const RECT frame = FrameAround({0, 0, form.clientWidth, form.clientHeight}, form.style,
                                       form.exStyle, kDesignDpi);
        size = {frame.right - frame.left, frame.bottom - frame.top};
    }
    WatchPostedMessages();
    UiContext& ui = TheUi();
    ui.windowBeingCreated = this;
    ui.creatingThread = ::GetCurrentThreadId();
    ::CreateWindowExA(form.exStyle, windowClass.Name(), form.caption, form.style, at.x, at.y,
                      size.cx, size.cy, owner, nullptr, ::GetModuleHandleA(nullptr), this);
    ui.windowBeingCreated = nullptr;
    if (hwnd_ && !child) {
        PlaceForDpi(form, owner);
    }
}

void Window::PlaceForDpi(const FormDescription& form, HWND owner) {
    using Centring = FormDescription::Centring;
    // Made at 96 dpi, the window learns its monitor's DPI, and its frame's, only once it exists.
    const int dpi = WindowDpi(hwnd_);
    dpi_ = dpi;
    const int frameDpi = FrameDpi(dpi);
    if (dpi == kDesignDpi && frameDpi == kDesignDpi && form.centring == Centring::None) {
        return;
    }
    const int width = Scaled(form.clientWidth, dpi);
    const int height = Scaled(form.clientHeight, dpi);
    const RECT frame = FrameAround({0, 0, width, height}, form.style, form.exStyle, frameDpi);
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
    WatchPostedMessages();
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
            // Only this thread's reach here; a DPI no screen has changes nothing all the same.
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
    // Windows proposes the whole window scaled, frame and all, where the frame keeps the system's
    // DPI (per-monitor v1 without non-client scaling): the size is the client area's, scaled,
    // within the frame the window really has.
    RECT client;
    ::GetClientRect(hwnd_, &client);
    const RECT frame = FrameAround(
        {0, 0, ::MulDiv(client.right, newDpi, oldDpi), ::MulDiv(client.bottom, newDpi, oldDpi)},
        static_cast<DWORD>(::GetWindowLongA(hwnd_, GWL_STYLE)),
        static_cast<DWORD>(::GetWindowLongA(hwnd_, GWL_EXSTYLE)), FrameDpi(newDpi));
    ::SetWindowPos(hwnd_, nullptr, proposed.left, proposed.top, frame.right - frame.left,
                   frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
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

int Window::FrameDpi(int dpi) const {
    return frameFollowsDpi_ ? dpi : SystemDpi();
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
    // Any program may send WM_NCCREATE, naming an object of its choosing: the new window is bound
    // only to the object this thread is creating.
    if (message == WM_NCCREATE) {
        UiContext& ui = TheUi();
        if (ui.windowBeingCreated && ui.creatingThread == ::GetCurrentThreadId() &&
            reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams ==
                ui.windowBeingCreated &&
            !::GetWindowLongPtrA(hwnd, GWLP_USERDATA)) {
            Window* created = std::exchange(ui.windowBeingCreated, nullptr);
            created->hwnd_ = hwnd;
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
            // Asked for here or never: the frame is made next.
            created->frameFollowsDpi_ =
                (reinterpret_cast<const CREATESTRUCTA*>(lParam)->style & WS_CHILD) == 0 &&
                LetFrameFollowDpi(hwnd);
        }
    }
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) {
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    ReportTopLevelMessage(hwnd, message, wParam);
    LRESULT result = 0;
    if (AnswerForeignPointer(hwnd, message, wParam, lParam, &::DefWindowProcA, result)) {
        return result;
    }
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
    if (AnswerForeignPointer(hwnd, message, wParam, lParam, &::DefSubclassProc, result)) {
        return result;
    }
    RunGuarded([&] {
        if (!control->HandleAccessibility(message, wParam, lParam, result)) {
            result = control->HandleMessage(message, wParam, lParam);
        }
    });
    return result;
}
