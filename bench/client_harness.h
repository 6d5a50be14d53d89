#pragma once
// What the benchmarks of the real client need around it: starting a program and watching it from
// outside (its windows, its tray icon), ending it, the registry state the client starts from, the
// desktop wallpaper it sets, and the stand-in service's request log.

#include <windows.h>

#include <string>

#include "bench_stats.h"

// A program started by the benchmark; killed when the object goes away while it still runs.
class WatchedProcess {
  public:
    // Throws std::runtime_error when the program cannot be started. The program inherits this
    // process's environment (MURLOX_SERVICE).
    explicit WatchedProcess(const std::string& program);
    WatchedProcess(const WatchedProcess&) = delete;
    WatchedProcess& operator=(const WatchedProcess&) = delete;
    ~WatchedProcess();

    HANDLE Handle() const { return info_.hProcess; }
    DWORD Id() const { return info_.dwProcessId; }
    // Just before the process was created.
    Clock::time_point Started() const { return started_; }
    bool Running() const;

    // A top-level window of this process of the class (and title, unless null); null if none.
    HWND FindWindowOf(const char* className, const char* title = nullptr) const;
    // Whether the shell's notification area holds the icon (id) of this process's hidden window
    // of the class.
    bool TrayIconRegistered(const char* trayWindowClass, UINT id) const;

    // Posts WM_CLOSE to the window of the class (and title) and waits up to timeoutMs for the
    // process to end; kills it after that, or when no such window exists. True when it ended by
    // itself.
    bool End(const char* className, const char* title, DWORD timeoutMs);
    // Kills the process and waits until the shell has dropped the icon (id) of its hidden window
    // of the class (Wine's does within about a second), so that the next start finds the
    // notification area as the first one did.
    void Kill(const char* trayWindowClass, UINT id);

  private:
    PROCESS_INFORMATION info_ = {};
    Clock::time_point started_;
};

// The client's tray icon: the class of its hidden window and the icon's id.
inline constexpr const char* kClientTrayWindowClass = "TTrayIconWindow";
inline constexpr UINT kClientTrayIconId = 1;

// Ends a run of the client by killing it: a close of its application window only hides its
// windows (that is what the resource window's close query does outside a session end), and its
// way out, the tray menu's "Exit", would need the menu driven.
inline void EndClient(WatchedProcess& client) {
    client.Kill(kClientTrayWindowClass, kClientTrayIconId);
}

// Whether the shell's notification area holds the icon (id) of the window. NIM_MODIFY without
// flags changes nothing and succeeds only for an icon that has been added, so it can be asked from
// outside as often as needed.
bool ShellHasIcon(HWND window, UINT id);

// Calls condition every intervalMs until it holds (true) or timeoutMs have passed (false).
template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs, DWORD intervalMs = 2) {
    const Clock::time_point start = Clock::now();
    while (!condition()) {
        if (MillisecondsSince(start) >= timeoutMs) {
            return false;
        }
        ::Sleep(intervalMs);
    }
    return true;
}

// Waits for the shell's taskbar, whose notification area the tray icons go to; throws
// std::runtime_error when none comes within 30 s. Wine starts the virtual desktop's shell along
// with the first program on it, so a tray icon added at once may find no taskbar yet.
void WaitForTaskbar();

// The path of a file beside this executable.
std::string BesideThisProgram(const std::string& name);

// The service address from the first argument or else MURLOX_SERVICE, which is then set for the
// programs this process starts. Throws std::runtime_error when neither gives one.
std::string ServiceAddressFrom(int argc, char** argv);

// The client's first start: no settings and no autostart entry in the registry.
void ResetClientRegistry();

// The desktop wallpaper as the registry holds it. SPI_GETDESKWALLPAPER cannot be asked instead:
// under Wine it answers from a cache of the asking process, which another process's
// SPI_SETDESKWALLPAPER never updates; the value in the registry is written with it.
std::string DesktopWallpaperSetting();
// No wallpaper, so that the next one set is a change to see.
void ClearDesktopWallpaper();

// The names of the two bitmaps the client renders the picture into by turns and sets as the
// wallpaper where Active Desktop is refused (Wine).
inline constexpr const char* kRenderedWallpaperNames[] = {"wallpaper-desktop.bmp",
                                                          "wallpaper-desktop-2.bmp"};
bool NamesRenderedWallpaper(const std::string& wallpaper);

// The stand-in service's admin paths.
class StandInAdmin {
  public:
    explicit StandInAdmin(const std::string& address) : address_(address) {}

    std::string Url(const std::string& path) const { return "http://" + address_ + path; }
    // Forgets the recorded requests (and faults).
    void Reset() const;
    int RequestCount() const;
    // The wall-clock time (seconds since 1970) at which the first request for the path was
    // recorded since the last Reset; negative when there was none.
    double FirstRequestTime(const std::string& path) const;
    // The news items until the next Reset, as the stand-in's JSON list (which must hold no "=",
    // as the body is posted as one line).
    void SetNews(const std::string& itemsJson) const;

  private:
    std::string address_;
};

// Before a start that signs in by itself: the stand-in's demo account stored with automatic
// sign-in (as the client's settings window leaves it), no desktop wallpaper, and an empty request
// log.
void PrepareAutomaticSignIn(const StandInAdmin& standIn);
// Waits until the desktop wallpaper names the bitmap the client renders; false after timeoutMs.
bool WaitForRenderedWallpaper(DWORD timeoutMs, DWORD intervalMs = 2);

// The wall clock in seconds since 1970, as the stand-in service records its requests.
double WallClockSeconds();

// A FILETIME span (100 ns units) in milliseconds.
double FileTimeMs(const FILETIME& time);
// The CPU time of the process's live threads, summed from GetThreadTimes, and how many there are.
// Under Wine GetProcessTimes of another process counts only its threads that have ended, so this
// stands in for it (in steps of 10 ms, Linux's clock ticks).
double ThreadsCpuMs(DWORD processId, int* count);
