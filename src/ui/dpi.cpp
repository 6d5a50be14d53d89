#include "ui/dpi.h"

#include "ui/win_handles.h"

namespace {

// A function of the system's user32 that older Windows lack: null there.
template <typename Function>
Function User32Function(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA("user32.dll"), name)));
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

}  // namespace

int SystemDpi() {
    const WindowDc screen(nullptr);
    const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? dpi : kDesignDpi;
}

int WindowDpi(HWND window) {
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window)) {
            return static_cast<int>(dpi);
        }
    }
    return SystemDpi();
}

HFONT RescaledFont(HFONT font, int fromDpi, int toDpi) {
    LOGFONTA description = {};
    if (!font || ::GetObjectA(font, sizeof(description), &description) == 0) {
        return nullptr;
    }
    description.lfHeight = ::MulDiv(description.lfHeight, toDpi, fromDpi);
    description.lfWidth = ::MulDiv(description.lfWidth, toDpi, fromDpi);
    return ::CreateFontIndirectA(&description);
}

RECT FrameAround(RECT client, DWORD style, DWORD exStyle, int dpi) {
    static const auto adjustForDpi =
        User32Function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
    if (!adjustForDpi || !adjustForDpi(&client, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
        ::AdjustWindowRectEx(&client, style, FALSE, exStyle);
    }
    return client;
}
