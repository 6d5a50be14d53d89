#include "ui/native_control.h"

#include <vector>

#include "ui/dpi.h"

void NativeControl::CreateControl(const char* className, HWND parent, DWORD style, int left,
                                  int top, int width, int height, const std::string& text,
                                  DWORD exStyle) {
    const int id = NextControlId();
    const int dpi = WindowDpi(parent);
    const HWND control = ::CreateWindowExA(
        exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, Scaled(left, dpi),
        Scaled(top, dpi), Scaled(width, dpi), Scaled(height, dpi), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr), nullptr);
    Subclass(control);
    ::SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void NativeControl::DpiChanged(int oldDpi, int newDpi) {
    const auto current = reinterpret_cast<HFONT>(::SendMessageA(hwnd(), WM_GETFONT, 0, 0));
    if (HFONT rescaled = RescaledFont(current, oldDpi, newDpi)) {
        ::SendMessageA(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(rescaled), TRUE);
        rescaledFont_.reset(rescaled);
    }
}

std::string NativeControl::Text() const {
    std::vector<char> text(::GetWindowTextLengthA(hwnd()) + 1);
    ::GetWindowTextA(hwnd(), text.data(), static_cast<int>(text.size()));
    return text.data();
}

void NativeControl::SetText(const std::string& text) {
    ::SetWindowTextA(hwnd(), text.c_str());
}

void NativeControl::SetFont(HFONT font) {
    ::SendMessageA(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void NativeControl::SetColors(COLORREF text, COLORREF background) {
    textColor_ = text;
    background_ = background;
    backgroundBrush_.reset(background == CLR_INVALID ? nullptr : ::CreateSolidBrush(background));
    ::InvalidateRect(hwnd(), nullptr, TRUE);
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
    return DefaultHandling(message, wParam, lParam);
}
