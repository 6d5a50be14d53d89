#include "client_harness.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <stdexcept>

#include "service/http_client.h"

namespace {

struct WindowQuery {
    DWORD processId;
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    auto& query = *reinterpret_cast<WindowQuery*>(parameter);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId != query.processId) {
        return TRUE;
    }
    char text[256] = "";
    ::GetClassNameA(window, text, sizeof text);
    if (lstrcmpA(text, query.className) != 0) {
        return TRUE;
    }
    if (query.title) {
        ::GetWindowTextA(window, text, sizeof text);
        if (lstrcmpA(text, query.title) != 0) {
            return TRUE;
        }
    }
    query.found = window;
    return FALSE;
}

std::string ErrorText(const std::string& what) {
    return what + " (error " + std::to_string(::GetLastError()) + ")";
}

constexpr const char* kClientKey = "Software\\MURLOX";
constexpr const char* kSettingsKey = "Software\\MURLOX\\Settings";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kDesktopKey = "Control Panel\\Desktop";

void WriteString(HKEY key, const char* name, const std::string& value) {
    ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
}

void StoreAutomaticSignIn(const std::string& email, const std::string& password) {
    HKEY settings = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          &settings, nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error(ErrorText("cannot create the client's settings key"));
    }
    WriteString(settings, "nickname", email);
    WriteString(settings, "password", password);
    const DWORD on = 1;
    ::RegSetValueExA(settings, "autologin", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on),
                     sizeof on);
    ::RegCloseKey(settings);
}

}  // namespace

WatchedProcess::WatchedProcess(const std::string& program) {
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    started_ = Clock::now();
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info_)) {
        throw std::runtime_error(ErrorText("cannot start " + program));
    }
}

WatchedProcess::~WatchedProcess() {
    if (Running()) {
        ::TerminateProcess(info_.hProcess, 1);
        ::WaitForSingleObject(info_.hProcess, 5000);
    }
    ::CloseHandle(info_.hThread);
    ::CloseHandle(info_.hProcess);
}

bool WatchedProcess::Running() const {
    return ::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND WatchedProcess::FindWindowOf(const char* className, const char* title) const {
    WindowQuery query = {info_.dwProcessId, className, title, nullptr};
    ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

bool WatchedProcess::TrayIconRegistered(const char* trayWindowClass, UINT id) const {
    const HWND trayWindow = FindWindowOf(trayWindowClass);
    return trayWindow && ShellHasIcon(trayWindow, id);
}

bool WatchedProcess::End(const char* className, const char* title, DWORD timeoutMs) {
    const HWND window = FindWindowOf(className, title);
    if (window && ::PostMessageA(window, WM_CLOSE, 0, 0) &&
        ::WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        return true;
    }
    ::TerminateProcess(info_.hProcess, 1);
    ::WaitForSingleObject(info_.hProcess, 5000);
    return false;
}

void WatchedProcess::Kill(const char* trayWindowClass, UINT id) {
    const HWND trayWindow = FindWindowOf(trayWindowClass);
    ::TerminateProcess(info_.hProcess, 1);
    ::WaitForSingleObject(info_.hProcess, 5000);
    if (trayWindow) {
        WaitFor([&] { return !ShellHasIcon(trayWindow, id); }, 5000, 20);
    }
}

bool ShellHasIcon(HWND window, UINT id) {
    NOTIFYICONDATAA icon = {};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = window;
    icon.uID = id;
    return ::Shell_NotifyIconA(NIM_MODIFY, &icon);
}

void WaitForTaskbar() {
    // Under Wine FindWindowA finds nothing until the thread has asked for its desktop window.
    ::GetDesktopWindow();
    if (!WaitFor([] { return ::FindWindowA("Shell_TrayWnd", nullptr) != nullptr; }, 30000, 50)) {
        throw std::runtime_error("no taskbar (Shell_TrayWnd) within 30 s");
    }
}

std::string BesideThisProgram(const std::string& name) {
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of('\\') + 1);
    return folder + name;
}

std::string ServiceAddressFrom(int argc, char** argv) {
    std::string address;
    if (argc > 1) {
        address = argv[1];
    } else if (const char* fromEnvironment = std::getenv("MURLOX_SERVICE")) {
        address = fromEnvironment;
    }
    if (address.empty()) {
        throw std::runtime_error(
            "give the stand-in service's HOST:PORT as the first argument "
            "or in MURLOX_SERVICE");
    }
    ::SetEnvironmentVariableA("MURLOX_SERVICE", address.c_str());
    return address;
}

void ResetClientRegistry() {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kClientKey);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kClientKey);
    HKEY run = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
        ::RegDeleteValueA(run, "MURLOX");
        ::RegCloseKey(run);
    }
}

std::string DesktopWallpaperSetting() {
    char path[MAX_PATH] = "";
    DWORD size = sizeof path;
    if (::RegGetValueA(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper", RRF_RT_REG_SZ, nullptr, path,
                       &size) != ERROR_SUCCESS) {
        return {};
    }
    return path;
}

void ClearDesktopWallpaper() {
    char none[] = "";
    ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, none, SPIF_UPDATEINIFILE);
}

bool NamesRenderedWallpaper(const std::string& wallpaper) {
    for (const std::string name : kRenderedWallpaperNames) {
        if (wallpaper.size() > name.size() &&
            lstrcmpiA(wallpaper.c_str() + wallpaper.size() - name.size(), name.c_str()) == 0 &&
            wallpaper[wallpaper.size() - name.size() - 1] == '\\') {
            return true;
        }
    }
    return false;
}

void StandInAdmin::Reset() const {
    HttpClient().Post(Url("/_admin/reset"), {});
}

int StandInAdmin::RequestCount() const {
    return std::atoi(HttpClient().Get(Url("/_admin/count")).c_str());
}

void StandInAdmin::SetNews(const std::string& itemsJson) const {
    HttpClient().Post(Url("/_admin/news"), {"{\"items\": " + itemsJson + "}"});
}

double StandInAdmin::FirstRequestTime(const std::string& path) const {
    // The log is a JSON list of objects whose first member is "time"; a plain search is enough
    // for the stand-in's own json.dumps output.
    const std::string log = HttpClient().Get(Url("/_admin/log"));
    const size_t entry = log.find("\"path\": \"" + path + "\"");
    if (entry == std::string::npos) {
        return -1;
    }
    const std::string timeMember = "\"time\": ";
    const size_t time = log.rfind(timeMember, entry);
    return time == std::string::npos ? -1 : std::atof(log.c_str() + time + timeMember.size());
}

void PrepareAutomaticSignIn(const StandInAdmin& standIn) {
    ResetClientRegistry();
    StoreAutomaticSignIn("demo@murlox.test", "demo");
    ClearDesktopWallpaper();
    standIn.Reset();
}

bool WaitForRenderedWallpaper(DWORD timeoutMs, DWORD intervalMs) {
    return WaitFor([] { return NamesRenderedWallpaper(DesktopWallpaperSetting()); }, timeoutMs,
                   intervalMs);
}

double WallClockSeconds() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks;
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    constexpr ULONGLONG kTicksFrom1601To1970 = 116444736000000000ULL;
    return static_cast<double>(ticks.QuadPart - kTicksFrom1601To1970) / 1e7;
}

double FileTimeMs(const FILETIME& time) {
    ULARGE_INTEGER ticks;
    ticks.LowPart = time.dwLowDateTime;
    ticks.HighPart = time.dwHighDateTime;
    return static_cast<double>(ticks.QuadPart) / 1e4;
}

double ThreadsCpuMs(DWORD processId, int* count) {
    double total = 0;
    *count = 0;
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Thread32First(snapshot, &entry); more;
         more = ::Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != processId) {
            continue;
        }
        const HANDLE thread =
            ::OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID);
        FILETIME created, exited, kernel, user;
        if (thread && ::GetThreadTimes(thread, &created, &exited, &kernel, &user)) {
            total += FileTimeMs(kernel) + FileTimeMs(user);
            ++*count;
        }
        if (thread) {
            ::CloseHandle(thread);
        }
    }
    ::CloseHandle(snapshot);
    return total;
}
