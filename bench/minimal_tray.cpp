// The least a tray program can do, as the yardstick of the client's start-up (bench_startup):
// one hidden window, one icon added to the notification area, then waiting for WM_CLOSE.

#include <windows.h>
#include <shellapi.h>

namespace {

// bench_startup looks for these.
constexpr const char* kWindowClass = "BenchMinimalTray";
constexpr UINT kIconId = 1;
constexpr UINT kCallbackMessage = WM_USER + 1024;

NOTIFYICONDATAA IconData(HWND window) {
    NOTIFYICONDATAA icon = {};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = window;
    icon.uID = kIconId;
    return icon;
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        NOTIFYICONDATAA icon = IconData(window);
        ::Shell_NotifyIconA(NIM_DELETE, &icon);
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    ::RegisterClassA(&windowClass);
    const HWND window = ::CreateWindowA(kWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                        instance, nullptr);
    NOTIFYICONDATAA icon = IconData(window);
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = kCallbackMessage;
    icon.hIcon = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
    lstrcpyA(icon.szTip, "minimal tray");
    if (!::Shell_NotifyIconA(NIM_ADD, &icon)) {
        return 1;
    }
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::DispatchMessageA(&message);
    }
    return 0;
}
