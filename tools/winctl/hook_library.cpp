#include "hook_library.h"

namespace winctl {

namespace {

constexpr char kReportWindowClass[] = "WinctlReportWindow";

}  // namespace

SystemFailure::SystemFailure(const std::string& what)
    : std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")") {}

HMODULE LoadHookLibrary() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string hookPath(path, length);
    hookPath.erase(hookPath.find_last_of("\\/") + 1);
    hookPath += "winctl_hook.dll";
    HMODULE module = LoadLibraryA(hookPath.c_str());
    if (!module) {
        throw SystemFailure("cannot load " + hookPath);
    }
    return module;
}

Hook::Hook(int kind, HMODULE module, const char* procedureName, DWORD threadId) {
    auto procedure =
        reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module, procedureName)));
    hook_ = procedure ? SetWindowsHookExA(kind, procedure, module, threadId) : nullptr;
    if (!hook_) {
        throw SystemFailure(std::string("cannot install the hook ") + procedureName);
    }
}

Hook::~Hook() {
    UnhookWindowsHookEx(hook_);
}

ReportWindow::ReportWindow(Receiver receiver) : receiver_(std::move(receiver)) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kReportWindowClass;
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, kReportWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              windowClass.hInstance, nullptr);
    if (!window_) {
        throw SystemFailure("cannot create the report window");
    }
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

ReportWindow::~ReportWindow() {
    DestroyWindow(window_);
}

LRESULT CALLBACK ReportWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ReportWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message != WM_COPYDATA || !self) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return self->receiver_(*reinterpret_cast<const COPYDATASTRUCT*>(lParam)) ? TRUE : FALSE;
}

}  // namespace winctl
