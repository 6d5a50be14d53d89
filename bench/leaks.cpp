// Whether the client's GDI objects, USER objects and kernel handles stay flat over 300 sign-in and
// sign-out cycles and 100 wallpaper changes. One process set up as the client's (COM and GDI+ on
// the user-interface thread, the application window and the seven windows created as at start,
// every message box answered and counted), against the stand-in service: each cycle signs in from
// the tray menu's trigger with automatic sign-in on (the worker, LoginResult, GETONE, the silent
// download and the rendered wallpaper) and signs out by the user; each change asks for another
// wallpaper as the picker does (GETNEWONE, the download window shown, the wallpaper applied),
// taking turns through JPEG, BMP and PNG pictures. Counted after a warm-up and then in steps.
//
// How the objects are counted, under Windows and under Wine: tests/support/process_objects.h.
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
#include "service/wallpaper_request.h"
#include "settings/settings_record.h"
#include "signin/sign_in.h"
#include "support/process_objects.h"
#include "ui/modal.h"
#include "ui/win_handles.h"

namespace {

// Counted after the warm-up and then every step; a smoke run takes one of each.
const int kSignInCycles = Runs(300);
const int kSignInStep = Runs(50);
const int kWallpaperChanges = Runs(100);
const int kWallpaperStep = Runs(20);
const int kWarmUp = Runs(5);
constexpr DWORD kSignInTimeoutMs = 30000;

std::string Platform(DWORD count) {
    return count ? std::to_string(count) : std::string("-");
}

void PrintCounts(const char* phase, int done, const ProcessObjects& c) {
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
        Application::ProcessMessages();
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
                        return std::string(name) == "TfrmDownloader" ? RunModalLoop(window)
                                                                     : kModalDone;
                    }}) {
        recSETTINGS.nickname = "demo@murlox.test";
        recSETTINGS.password = "demo";
        recSETTINGS.keepdaysoff = true;
        recSETTINGS.curdesktopid = "0";
        recSETTINGS.programfolder = folder;
        // Started signed out, as without automatic sign-in; the cycles sign in with it on.
        recSETTINGS.autologin = false;
        application_.Initialize("MURLOX under bench");
        if (!forms_.Create(application_.hwnd())) {
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
    Application application_;
    ApplicationForms forms_;
};

}  // namespace

int main(int argc, char** argv) {
    const ComInitialization com;
    const GdiplusInitialization gdiplus;
    std::vector<std::pair<ProcessObjects, ProcessObjects>> phases;
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
        const ProcessObjects signInStart = CountProcessObjects();
        PrintCounts("sign-in cycles", 0, signInStart);
        ProcessObjects signInEnd = signInStart;
        for (int cycle = 1; cycle <= kSignInCycles; ++cycle) {
            client.SignInAndOut();
            if (cycle % kSignInStep == 0) {
                signInEnd = CountProcessObjects();
                PrintCounts("sign-in cycles", cycle, signInEnd);
            }
        }
        phases.emplace_back(signInStart, signInEnd);

        StartSignIn(stTrayMenu);
        PumpUntil([] { return !SignInBusy; }, kSignInTimeoutMs);
        for (int change = 0; change < kWarmUp; ++change) {
            client.ChangeWallpaper(change);
        }
        const ProcessObjects changeStart = CountProcessObjects();
        PrintCounts("wallpaper changes", 0, changeStart);
        ProcessObjects changeEnd = changeStart;
        for (int change = 1; change <= kWallpaperChanges; ++change) {
            client.ChangeWallpaper(change);
            if (change % kWallpaperStep == 0) {
                changeEnd = CountProcessObjects();
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
    const int counts[] = {kSignInCycles, kWallpaperChanges};
    const char* names[] = {"sign-in/sign-out cycles", "wallpaper changes"};
    for (size_t i = 0; i < phases.size(); ++i) {
        const ProcessObjects& a = phases[i].first;
        const ProcessObjects& b = phases[i].second;
        std::printf("%d %s: GDI %+d, USER %+d, kernel handles %+d\n", counts[i], names[i],
                    b.gdi - a.gdi, b.User() - a.User(), b.kernel - a.kernel);
    }
    return 0;
}
