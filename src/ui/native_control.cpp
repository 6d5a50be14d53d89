#include "ui/native_control.h"

#include <commctrl.h>

#include <vector>

#include "ui/error_guard.h"
#include "ui/window.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x4D55;  // one subclass of ours per control

// Ids tell the controls of one parent apart (WM_MEASUREITEM names its control by id only).
int NextControlId() {
    static int next = 1000;
    return next++;
}

}  // namespace

NativeControl::~NativeControl() {
    if (hwnd_) {
        const HWND control = hwnd_;
        Detach();
        ::DestroyWindow(control);
    }
}

NativeControl* NativeControl::FromHandle(HWND hwnd) {
    DWORD_PTR self = 0;
    if (!::GetWindowSubclass(hwnd, &NativeControl::SubclassProc, kSubclassId, &self)) {
        return nullptr;
    }
    return reinterpret_cast<NativeControl*>(self);
}

void NativeControl::CreateControl(const char* className, HWND parent, DWORD style, int left,
                                  int top, int width, int height, const std::string& text,
                                  DWORD exStyle) {
    id_ = NextControlId();
    hwnd_ = ::CreateWindowExA(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, left,
                              top, width, height, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)),
                              ::GetModuleHandleA(nullptr), nullptr);
    ::SetWindowSubclass(hwnd_, &NativeControl::SubclassProc, kSubclassId,
                        reinterpret_cast<DWORD_PTR>(this));
    ::SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

RECT NativeControl::Bounds() const {
    return BoundsInParent(hwnd_);
}

std::string NativeControl::Text() const {
    std::vector<char> text(::GetWindowTextLengthA(hwnd_) + 1);
    ::GetWindowTextA(hwnd_, text.data(), static_cast<int>(text.size()));
    return text.data();
}

void NativeControl::SetText(const std::string& text) {
    ::SetWindowTextA(hwnd_, text.c_str());
}

void NativeControl::SetFont(HFONT font) {
    ::SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void NativeControl::SetColors(COLORREF text, COLORREF background) {
    textColor_ = text;
    background_ = background;
    backgroundBrush_.reset(background == CLR_INVALID ? nullptr : ::CreateSolidBrush(background));
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

bool NativeControl::Reflect(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (message) {
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC: {
            if (textColor_ == CLR_INVALID && background_ == CLR_INVALID) {
                return false;
            }
            const HDC dc = reinterpret_cast<HDC>(wParam);
            if (textColor_ != CLR_INVALID) {
                ::SetTextColor(dc, textColor_);
            }
            HBRUSH brush = static_cast<HBRUSH>(backgroundBrush_.get());
            if (background_ != CLR_INVALID) {
                ::SetBkColor(dc, background_);
            } else {
                brush =
                    ::GetSysColorBrush(message == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE);
            }
            result = reinterpret_cast<LRESULT>(brush);
            return true;
        }
    }
    return false;
}

LRESULT NativeControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefSubclassProc(hwnd_, message, wParam, lParam);
}

void NativeControl::Detach() {
    ::RemoveWindowSubclass(hwnd_, &NativeControl::SubclassProc, kSubclassId);
    hwnd_ = nullptr;
}

LRESULT CALLBACK NativeControl::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR self) {
    auto* control = reinterpret_cast<NativeControl*>(self);
    if (message == WM_NCDESTROY) {
        control->Detach();
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    RunGuarded([&] { result = control->HandleMessage(message, wParam, lParam); });
    return result;
}
