#include "ui/dpi.h"

#include <cstdlib>
#include <cstring>

#include "ui/system_library.h"
#include "ui/win_handles.h"

namespace {

// Where the newer DPI functions live, by the Windows that brought them.
enum class DpiLibrary {
    ShcoreOfWindows81,
    User32OfWindows10,
};

// Whether the functions of that library are looked up at all. For the tests, which run under Wine,
// where all are there: MURLOX_DPI_AS_WINDOWS set to 8.1 or 7 leaves out those that Windows lacks,
// so that its ways run too.
bool LooksUp(DpiLibrary library) {
    const char* played = std::getenv("MURLOX_DPI_AS_WINDOWS");
    if (!played || !*played) {
        return true;
    }
    return library == DpiLibrary::ShcoreOfWindows81 && std::strcmp(played, "8.1") == 0;
}

// A DPI function that older Windows lack, never imported, so that the client still starts on
// Windows 7: null where Windows has none.
template <typename Function>
Function DpiFunction(DpiLibrary library, const char* name) {
    if (!LooksUp(library)) {
        return nullptr;
    }
    // user32 is in every process that has windows; shcore, which Windows 7 lacks, is loaded.
    const HMODULE module = library == DpiLibrary::ShcoreOfWindows81
                               ? LoadSystemLibrary("shcore.dll")
                               : ::GetModuleHandleA("user32.dll");
    return module ? reinterpret_cast<Function>(
                        reinterpret_cast<void (*)()>(::GetProcAddress(module, name)))
                  : nullptr;
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using GetThreadDpiAwarenessContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)();
using AreDpiAwarenessContextsEqualFunction = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT,
                                                           DPI_AWARENESS_CONTEXT);
using EnableNonClientDpiScalingFunction = BOOL(WINAPI*)(HWND);
// The DPI that the user's scale gives the monitor, which windows are laid out by.
constexpr int kMonitorEffectiveDpi = 0;

// The DPI of the monitor as Windows 8.1 tells it; the system's before.
int MonitorDpi(HMONITOR monitor) {
    static const auto getDpiForMonitor =
        DpiFunction<GetDpiForMonitorFunction>(DpiLibrary::ShcoreOfWindows81, "GetDpiForMonitor");
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
    static const auto getDpiForWindow =
        DpiFunction<GetDpiForWindowFunction>(DpiLibrary::User32OfWindows10, "GetDpiForWindow");
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

bool LetFrameFollowDpi(HWND window) {
    static const auto threadContext = DpiFunction<GetThreadDpiAwarenessContextFunction>(
        DpiLibrary::User32OfWindows10, "GetThreadDpiAwarenessContext");
    static const auto sameContext = DpiFunction<AreDpiAwarenessContextsEqualFunction>(
        DpiLibrary::User32OfWindows10, "AreDpiAwarenessContextsEqual");
    static const auto enableNonClientScaling = DpiFunction<EnableNonClientDpiScalingFunction>(
        DpiLibrary::User32OfWindows10, "EnableNonClientDpiScaling");
    // Before Windows 10 1607 the frame keeps the system's DPI on every monitor.
    if (!threadContext || !sameContext) {
        return false;
    }
    const DPI_AWARENESS_CONTEXT context = threadContext();
    if (sameContext(context, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) {
        return true;
    }
    // Windows 10 1607 and its long-term edition know no v2: the manifest's fallback, v1, scales
    // the frame only when asked.
    return sameContext(context, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE) &&
           enableNonClientScaling && enableNonClientScaling(window);
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
    static const auto adjustForDpi = DpiFunction<AdjustWindowRectExForDpiFunction>(
        DpiLibrary::User32OfWindows10, "AdjustWindowRectExForDpi");
    if (!adjustForDpi || !adjustForDpi(&client, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
        ::AdjustWindowRectEx(&client, style, FALSE, exStyle);
    }
    return client;
}
