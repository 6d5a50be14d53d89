// What winctl needs to run the procedures of winctl_hook.dll inside another process: the DLL
// itself, hooks on a thread of that process, and a window for the reports the procedures send
// back.
#pragma once

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace winctl {

// Something the system refused (a missing DLL, a refused hook); the text ends with the error code.
class SystemFailure : public std::runtime_error {
  public:
    explicit SystemFailure(const std::string& what);
};

// winctl_hook.dll, which lies beside winctl.exe; Windows loads it by this path into the process
// whose thread is hooked.
HMODULE LoadHookLibrary();

// A procedure of winctl_hook.dll hooked into one thread while the object lives.
class Hook {
  public:
    Hook(int kind, HMODULE module, const char* procedureName, DWORD threadId);
    ~Hook();
    Hook(const Hook&) = delete;
    Hook& operator=(const Hook&) = delete;

  private:
    HHOOK hook_ = nullptr;
};

// A message-only window of winctl to which the hook procedures send their reports as
// WM_COPYDATA. The receiver answers whether it took the report.
class ReportWindow {
  public:
    using Receiver = std::function<bool(const COPYDATASTRUCT& report)>;

    explicit ReportWindow(Receiver receiver);
    ~ReportWindow();
    ReportWindow(const ReportWindow&) = delete;
    ReportWindow& operator=(const ReportWindow&) = delete;

    HWND Handle() const { return window_; }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Receiver receiver_;
    HWND window_ = nullptr;
};

}  // namespace winctl
