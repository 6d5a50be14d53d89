#include "ui/dpi.h"

#include "ui/system_library.h"
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
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
// The DPI that the user's scale gives the monitor, which windows are laid out by.
constexpr int kMonitorEffectiveDpi = 0;

// Windows 8.1's way, through a library that Windows 7 lacks, which leaves the system's DPI there.
GetDpiForMonitorFunction ShcoreGetDpiForMonitor() {
    const HMODULE shcore = LoadSystemLibrary("shcore.dll");
    return shcore ? reinterpret_cast<GetDpiForMonitorFunction>(
                        reinterpret_cast<void (*)()>(::GetProcAddress(shcore, "GetDpiForMonitor")))
                  : nullptr;
}

// The DPI of the monitor as Windows 8.1 tells it; the system's before.
int MonitorDpi(HMONITOR monitor) {
    static const auto getDpiForMonitor = ShcoreGetDpiForMonitor();
    UINT x = 0;
    UINT y = 0;
    if (getDpiForMonitor && SUCCEEDED(getDpiForMonitor(monitor, kMonitorEffectiveDpi, &x, &y)) &&
        IsScreenDpi(static_cast<int>(y))) {
        return static_cast<int>(y);
    }
    return SystemDpi();
}

}  // namespace

int SystemDpi() {
    const WindowDc screen(nullptr);
    const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? dpi : kDesignDpi;
}

int WindowDpi(HWND window) {
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (!window) {
        return SystemDpi();
    }
    if (getDpiForWindow) {
        const UINT dpi = getDpiForWindow(window);
        return dpi != 0 ? static_cast<int>(dpi) : SystemDpi();
    }
    return MonitorDpi(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

int AreaDpi(const RECT& area) {
    return MonitorDpi(::MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST));
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
