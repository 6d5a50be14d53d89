// A program whose window looks like a running client's application window (same class and title)
// but never answers: it prints "ready" once the window exists, then stops taking messages until
// its standard input ends.

#include <windows.h>

#include <cstdio>

int main() {
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &::DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "TMurloxApplication";
    ::RegisterClassA(&wc);
    if (!::CreateWindowExA(0, wc.lpszClassName, "MURLOX", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           instance, nullptr)) {
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    char buffer[64];
    DWORD read = 0;
    while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof(buffer), &read, nullptr) &&
           read > 0) {
    }
    return 0;
}
