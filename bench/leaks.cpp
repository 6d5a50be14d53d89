// Whether the client's GDI objects, USER objects and kernel handles stay flat over 300 sign-in and
// sign-out cycles and 100 wallpaper changes. One process set up as the client's (COM and GDI+ on
// the user-interface thread, the application window and the seven windows created as at start,
// every message box answered and counted), against the stand-in service: each cycle signs in from
// the tray menu's trigger with automatic sign-in on (the worker, LoginResult, GETONE, the silent
// download and the rendered wallpaper) and signs out by the user; each change asks for another
// wallpaper as the picker does (GETNEWONE, the download window shown, the wallpaper applied),
// taking turns through JPEG, BMP and PNG pictures. Counted after a warm-up and then in steps.
//
// Windows has the counts at hand (GetGuiResources, GetProcessHandleCount); Wine answers 0 to
// both. So the process's own objects are also counted where Wine keeps them: every entry of its
// GDI handle table (GetObjectType of a handle that names only the entry), the windows of this
// process, the menus and the icons and cursors among the USER handles (IsWindow, IsMenu,
// GetIconInfo on each handle value), and every kernel handle value that GetHandleInformation
// accepts.
//
//   bench_leaks.exe [HOST:PORT]     (default: MURLOX_SERVICE)

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/forms.h"
#include "app/main_window.h"
#include "client_harness.h"
#include "components/modal.h"
#include "components/win_handles.h"
#include "service/wallpaper_request.h"
#include "settings/settings_record.h"
#include "signin/sign_in.h"

namespace {

constexpr int kSignInCycles = 300;
constexpr int kSignInStep = 50;
constexpr int kWallpaperChanges = 100;
constexpr int kWallpaperStep = 20;
constexpr int kWarmUp = 5;
constexpr DWORD kSignInTimeoutMs = 30000;

struct Counts {
    int gdi = 0;
    int windows = 0;
    int menus = 0;
    int icons = 0;
    int kernel = 0;
    DWORD platformGdi = 0;
    DWORD platformUser = 0;
    DWORD platformHandles = 0;

    int User() const { return windows + menus + icons; }
};

Counts CountResources() {
    Counts counts;
    const HANDLE self = ::GetCurrentProcess();
    counts.platformGdi = ::GetGuiResources(self, GR_GDIOBJECTS);
    counts.platformUser = ::GetGuiResources(self, GR_USEROBJECTS);
    ::GetProcessHandleCount(self, &counts.platformHandles);
    // A GDI handle whose upper half is 0 names the table entry alone.
    for (ULONG_PTR entry = 1; entry < 0x10000; ++entry) {
        counts.gdi += ::GetObjectType(reinterpret_cast<HGDIOBJ>(entry)) != 0;
    }
    // USER handle values are even from 0x20 on; the upper half, a generation, may be 0.
    const DWORD process = ::GetCurrentProcessId();
    for (ULONG_PTR value = 0x20; value < 0x10000; value += 2) {
        const HANDLE handle = reinterpret_cast<HANDLE>(value);
        if (::IsWindow(static_cast<HWND>(handle))) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(static_cast<HWND>(handle), &owner);
            counts.windows += owner == process;
        } else if (::IsMenu(static_cast<HMENU>(handle))) {
            ++counts.menus;
        } else {
            ICONINFO info;
            if (::GetIconInfo(static_cast<HICON>(handle), &info)) {
                ++counts.icons;
                ::DeleteObject(info.hbmMask);
                if (info.hbmColor) {
                    ::DeleteObject(info.hbmColor);
                }
            }
        }
    }
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        counts.kernel += ::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) != 0;
    }
    return counts;
}

std::string Platform(DWORD count) {
    return count ? std::to_string(count) : std::string("-");
}

void PrintCounts(const char* phase, int done, const Counts& c) {
    std::printf("%-18s %5d   %5d   %5d (%3d windows, %2d menus, %3d icons)   %5d   %6s %6s %6s\n",
                phase, done, c.gdi, c.User(), c.windows, c.menus, c.icons, c.kernel,
                Platform(c.platformGdi).c_str(), Platform(c.platformUser).c_str(),
                Platform(c.platformHandles).c_str());
}

bool PumpUntil(bool (*condition)(), DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > timeoutMs) {
            return false;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        TheApplication().ProcessMessages();
    }
    return true;
}

// The client as it runs after start, signed out, with the demo account stored and automatic
// sign-in on; message boxes are counted, modal windows other than the download window answered.
class ClientUnderTest {
  public:
    explicit ClientUnderTest(const std::string& folder)
        : answers_({[this](const std::string& text, UINT) {
                        messages_.push_back(text);
                        return IDOK;
                    },
                    [](Window& window) {
                        char name[64] = "";
                        ::GetClassNameA(window.hwnd(), name, sizeof name);
                        return std::string(name) == "TfrmDownloader" ? window.RunModalLoop()
                                                                     : kModalDone;
                    }}) {
        recSETTINGS.nickname = "demo@murlox.test";
        recSETTINGS.password = "demo";
        recSETTINGS.keepdaysoff = true;
        recSETTINGS.curdesktopid = "0";
        recSETTINGS.programfolder = folder;
        // Started signed out, as without automatic sign-in; the cycles sign in with it on.
        recSETTINGS.autologin = false;
        TheApplication().Initialize("MURLOX under bench");
        if (!forms_.Create(TheApplication().hwnd())) {
            throw std::runtime_error("the client's windows could not be created");
        }
        frmMain->Hide();
        recSETTINGS.autologin = true;
    }

    void SignInAndOut() {
        StartSignIn(stTrayMenu);
        if (!PumpUntil([] { return !SignInBusy; }, kSignInTimeoutMs)) {
            throw std::runtime_error("no sign-in result within 30 s");
        }
        Check(SignedIn, "the sign-in");
        SignOut(true);
    }

    void ChangeWallpaper(int change) {
        const std::string id = std::to_string(1001 + change % 11);
        RequestNewWallpaper(id, frmMain->hwnd());
        Check(recSETTINGS.curdesktopid == id, "the wallpaper change to " + id);
    }

    size_t Messages() const { return messages_.size(); }

  private:
    void Check(bool done, const std::string& what) const {
        if (!done) {
            throw std::runtime_error(what + " failed" +
                                     (messages_.empty() ? "" : ": " + messages_.back()));
        }
    }

    std::vector<std::string> messages_;
    PromptAnswerScope answers_;
    ApplicationForms forms_;
};

}  // namespace

int main(int argc, char** argv) {
    const ComInitialization com;
    const GdiplusInitialization gdiplus;
    std::vector<std::pair<Counts, Counts>> phases;
    try {
        // The client's code reads the address through the C runtime's environment.
        _putenv_s("MURLOX_SERVICE", ServiceAddressFrom(argc, argv).c_str());
        const std::string folder = BesideThisProgram("bench-leaks\\");
        ::CreateDirectoryA(folder.c_str(), nullptr);
        WaitForTaskbar();
        ClientUnderTest client(folder);
        std::printf("%-18s %5s   %5s   %-38s   %5s   %6s %6s %6s\n", "", "done", "GDI", "USER",
                    "kernel", "GR_GDI", "GR_USR", "handle");

        for (int cycle = 0; cycle < kWarmUp; ++cycle) {
            client.SignInAndOut();
        }
        const Counts signInStart = CountResources();
        PrintCounts("sign-in cycles", 0, signInStart);
        Counts signInEnd = signInStart;
        for (int cycle = 1; cycle <= kSignInCycles; ++cycle) {
            client.SignInAndOut();
            if (cycle % kSignInStep == 0) {
                signInEnd = CountResources();
                PrintCounts("sign-in cycles", cycle, signInEnd);
            }
        }
        phases.emplace_back(signInStart, signInEnd);

        StartSignIn(stTrayMenu);
        PumpUntil([] { return !SignInBusy; }, kSignInTimeoutMs);
        for (int change = 0; change < kWarmUp; ++change) {
            client.ChangeWallpaper(change);
        }
        const Counts changeStart = CountResources();
        PrintCounts("wallpaper changes", 0, changeStart);
        Counts changeEnd = changeStart;
        for (int change = 1; change <= kWallpaperChanges; ++change) {
            client.ChangeWallpaper(change);
            if (change % kWallpaperStep == 0) {
                changeEnd = CountResources();
                PrintCounts("wallpaper changes", change, changeEnd);
            }
        }
        phases.emplace_back(changeStart, changeEnd);
        std::printf("message boxes asked for: %zu\n", client.Messages());
    } catch (const std::exception& error) {
        std::printf("failed: %s\n", error.what());
        ResetClientRegistry();
        return 1;
    }
    ResetClientRegistry();
    const char* names[] = {"300 sign-in/sign-out cycles", "100 wallpaper changes"};
    for (size_t i = 0; i < phases.size(); ++i) {
        const Counts& a = phases[i].first;
        const Counts& b = phases[i].second;
        std::printf("%s: GDI %+d, USER %+d, kernel handles %+d\n", names[i], b.gdi - a.gdi,
                    b.User() - a.User(), b.kernel - a.kernel);
    }
    return 0;
}
