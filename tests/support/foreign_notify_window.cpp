// Another program's window of the class the client's notification popups use, for the test that
// closing the client's notifications leaves other programs alone. It shows one window and ends
// when that window is closed (or the test ends the process).

#include <windows.h>

namespace {

LRESULT CALLBACK ForeignProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &ForeignProc;
    wc.hInstance = instance;
    wc.hbrBackground = ::GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = "TfrmNotifyPopUp";
    ::RegisterClassA(&wc);
    ::CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName, "another program",
                      WS_POPUP | WS_VISIBLE, 10, 10, 60, 40, nullptr, nullptr, instance, nullptr);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::DispatchMessageA(&message);
    }
    return 0;
}
