// The picker through the client's real windows, Wine's real browser control and the stand-in
// service. Wine's control fetches the thumbnail page but, having no HTML engine, shows nothing and
// raises no DocumentComplete; a click on a thumbnail and the browser's error page are fired
// through the host's sink as the control fires them (support/browser_events.h). A page it could
// not fetch it reports itself, with NavigateError; so it does every page it did fetch, with the
// error of its missing engine.

#include "windows/picker_window.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/resource_window.h"
#include "app/window_messages.h"
#include "components/pixel_canvas.h"
#include "service/download_window.h"
#include "service/exchange.h"
#include "service/http_client.h"
#include "service/service_address.h"
#include "settings/registry_key.h"
#include "settings/settings_record.h"
#include "signin/sign_in.h"
#include "support/browser_events.h"
#include "support/process_objects.h"
#include "support/program_state.h"
#include "support/wine_test_fixture.h"
#include "ui/message_pump.h"
#include "ui/modal.h"
#include "ui/ui_context.h"
#include "ui/win_paths.h"

namespace {

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::string RequestLine(const std::string& request) {
    return request.substr(0, request.find("\r\n"));
}

std::string Body(const std::string& request) {
    return request.substr(request.find("\r\n\r\n") + 4);
}

std::string DesktopWallpaper() {
    char path[MAX_PATH] = "";
    ::SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof(path), path, 0);
    return path;
}

RECT WindowBounds(HWND window) {
    RECT bounds;
    ::GetWindowRect(window, &bounds);
    return bounds;
}

// What runs while the picker's modal run waits, started by a timer of the thread.
std::function<void()>* whilePickerOpen = nullptr;

void CALLBACK RunWhilePickerOpen(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    if (whilePickerOpen) {
        (*whilePickerOpen)();
    }
}

class PickerTest : public ClientTest {
  protected:
    void SetUp() override {
        ClientTest::SetUp();
        HttpClient login;
        const std::string reply =
            login.Get(service().Url("/actions/login.php?un=demo@murlox.test&pw=demo"));
        recSETTINGS.loginid = reply.substr(reply.find("[OK]") + 4);
        folder_ = ProgramFolder() + "picker-test\\";
        ::CreateDirectoryA(folder_.c_str(), nullptr);
        recSETTINGS.programfolder = folder_;
        service().Reset();
    }

    static void TrayDoubleClick() {
        ::SendMessageA(frmMain->theTray().Handle(), kTrayCallbackMessage, 1, WM_LBUTTONDBLCLK);
    }

    // Opens the picker as a double click on the tray icon does and runs it for real; whileOpen
    // runs once it shows. A picker still open after that is noted and closed, so the test goes
    // on; afterRun runs once the picker's run has ended, with the same answers. Download windows
    // run for real; other modal windows are only recorded.
    void OpenPicker(std::function<void()> whileOpen, std::function<void()> afterRun = nullptr) {
        pickerResult = 0;
        stillOpen = false;
        std::function<void()> step = [&] {
            whileOpen();
            stillOpen = InModalRun(*frmWPPicker) && frmWPPicker->ModalResult() == 0;
            if (InModalRun(*frmWPPicker)) {
                frmWPPicker->Close();
            }
        };
        whilePickerOpen = &step;
        const PromptAnswerScope answers({[this](const std::string& text, UINT) {
                                             messages.push_back(text);
                                             return IDOK;
                                         },
                                         [this](Window& window) {
                                             char name[64] = "";
                                             ::GetClassNameA(window.hwnd(), name, sizeof(name));
                                             modalWindows.push_back(name);
                                             pickerVisibleAtModal.push_back(
                                                 frmWPPicker->IsVisible());
                                             return RunModal(window, name);
                                         }});
        TrayDoubleClick();
        whilePickerOpen = nullptr;
        if (afterRun) {
            afterRun();
        }
    }

    int RunModal(Window& window, const std::string& className) {
        if (className == "TfrmWPPicker") {
            ::SetTimer(nullptr, 0, 0, &RunWhilePickerOpen);
            pickerResult = RunModalLoop(window);
            return pickerResult;
        }
        return className == "TfrmDownloader" ? RunModalLoop(window) : kModalDone;
    }

    std::wstring ServiceAddress(const std::string& path) const { return Wide(ServiceUrl(path)); }

    // The first recorded request whose request line starts with the text, or empty.
    std::string Request(const std::string& requestLineStart) const {
        for (int i = 0; i < service().RequestCount(); ++i) {
            const std::string request = service().RawRequest(i);
            if (request.rfind(requestLineStart, 0) == 0) {
                return request;
            }
        }
        return {};
    }
    bool ThumbnailPageRequested() const {
        return !Request("GET /actions/wallpaper_thumbs.php?").empty();
    }

    int pickerResult = 0;
    bool stillOpen = false;
    // Whether the picker was visible when each modal window of modalWindows started.
    std::vector<bool> pickerVisibleAtModal;
    std::string folder_;
};

TEST_F(PickerTest, TheWindowIsAFixedWhiteBoxWithTheBrowserInsideAMargin) {
    const HWND picker = frmWPPicker->hwnd();
    char name[64] = "";
    ::GetClassNameA(picker, name, sizeof(name));
    EXPECT_STREQ(name, "TfrmWPPicker");
    char caption[64] = "";
    ::GetWindowTextA(picker, caption, sizeof(caption));
    EXPECT_STREQ(caption, "Get another MURLO");
    const LONG style = ::GetWindowLongA(picker, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    RECT client;
    ::GetClientRect(picker, &client);
    EXPECT_EQ(client.right, 365);
    EXPECT_EQ(client.bottom, 249);
    EXPECT_FALSE(frmWPPicker->IsVisible());

    RECT workArea;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    const RECT bounds = WindowBounds(picker);
    EXPECT_LE(std::abs((bounds.left + bounds.right) - (workArea.left + workArea.right)), 1);
    EXPECT_LE(std::abs((bounds.top + bounds.bottom) - (workArea.top + workArea.bottom)), 1);

    const HWND web = frmWPPicker->WebHost().hwnd();
    EXPECT_EQ(::GetParent(web), picker);
    RECT webBounds = WindowBounds(web);
    ::MapWindowPoints(nullptr, picker, reinterpret_cast<POINT*>(&webBounds), 2);
    EXPECT_EQ(webBounds.left, 10);
    EXPECT_EQ(webBounds.top, 10);
    EXPECT_EQ(webBounds.right, 355);
    EXPECT_EQ(webBounds.bottom, 235);
    EXPECT_FALSE(frmWPPicker->WebHost().HasBrowser()) << "the control waits for the first opening";

    PixelCanvas canvas(365, 249, RGB(0, 0, 0));
    ::SendMessageA(picker, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0);
    EXPECT_EQ(canvas.CountPixels(RGB(255, 255, 255)), 365 * 249);
}

TEST_F(PickerTest, ADoubleClickAsksForASessionThenShowsTheThumbnailPageOfTheAccount) {
    recSETTINGS.curdesktopid = "";
    recSETTINGS.password = "p&w#1 x";
    RegistryKey(kBrowserEmulationKey, KEY_SET_VALUE).DeleteValue(kBrowserEmulationProgram);
    bool shown = false;
    bool fetched = false;
    HWND foreground = nullptr;
    OpenPicker([&] {
        shown = frmWPPicker->IsVisible() && frmWPPicker->WebHost().HasBrowser();
        foreground = ::GetForegroundWindow();
        fetched = PumpUntil([&] { return ThumbnailPageRequested(); });
    });
    EXPECT_TRUE(shown);
    EXPECT_EQ(foreground, frmWPPicker->hwnd());
    ASSERT_TRUE(fetched);
    EXPECT_EQ(RequestLine(service().RawRequest(0)),
              "GET /actions/requestsession.php?id=" + recSETTINGS.loginid + " HTTP/1.1");
    EXPECT_EQ(RequestLine(Request("GET /actions/wallpaper_thumbs.php?")),
              "GET /actions/wallpaper_thumbs.php?un=demo@murlox.test&pw=p%26w%231+x"
              "&currentdesktop=0&shell=client HTTP/1.1");
    EXPECT_EQ(recSETTINGS.curdesktopid, "0");
    EXPECT_EQ(RegistryKey(kBrowserEmulationKey, KEY_READ).ReadDword(kBrowserEmulationProgram),
              11001u);
    EXPECT_TRUE(stillOpen) << "the page alone does not end the run";
    EXPECT_EQ(pickerResult, kModalFailed);
    EXPECT_FALSE(frmWPPicker->IsVisible());
    EXPECT_EQ(modalWindows, std::vector<std::string>{"TfrmWPPicker"});
}

TEST_F(PickerTest, AThumbnailClickIsCancelledAndPutsThatWallpaperOnTheDesktop) {
    recSETTINGS.curdesktopid = "1001";
    VARIANT_BOOL cancel = VARIANT_FALSE;
    bool askedInTheEvent = true;
    OpenPicker(
        [&] {
            PumpUntil([&] { return ThumbnailPageRequested(); });
            cancel = FireBeforeNavigate2(frmWPPicker->WebHost().Browser(),
                                         ServiceAddress("/actions/cmdnewdesktopid(4711)"));
        },
        [&] {
            // The pick runs after the control's event and the picker's run have both ended.
            askedInTheEvent = !Request("POST /actions/wallpaperserve.php").empty();
            PumpUntil([] { return recSETTINGS.curdesktopid == "4711"; });
        });
    EXPECT_FALSE(askedInTheEvent);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(pickerResult, kModalFailed);
    EXPECT_FALSE(frmWPPicker->IsVisible());
    EXPECT_EQ(modalWindows, (std::vector<std::string>{"TfrmWPPicker", "TfrmDownloader"}));
    EXPECT_EQ(pickerVisibleAtModal, (std::vector<bool>{false, false}))
        << "hidden before the wallpaper is asked for";
    EXPECT_TRUE(Request("GET /actions/cmdnewdesktopid").empty()) << "the navigation never ran";

    const std::string body = Body(Request("POST /actions/wallpaperserve.php "));
    EXPECT_NE(body.find("%3Caction%3EGETNEWONE%3C%2Faction%3E"), std::string::npos) << body;
    EXPECT_NE(body.find("%3Cnew%3E4711%3C%2Fnew%3E%3Ccurrent%3E1001%3C%2Fcurrent%3E"),
              std::string::npos)
        << body;
    EXPECT_EQ(recSETTINGS.curdesktopid, "4711");
    EXPECT_EQ(DesktopWallpaper(), folder_ + "wallpaper-desktop.bmp");
    EXPECT_TRUE(messages.empty());
}

TEST_F(PickerTest, ThePickerDoesNotOpenAgainWhileAPickRuns) {
    service().SetFault(
        R"({"kind": "delay", "seconds": 1, "count": 1, "path": "/actions/wallpaperserve.php"})");
    OpenPicker(
        [&] {
            PumpUntil([&] { return ThumbnailPageRequested(); });
            FireBeforeNavigate2(frmWPPicker->WebHost().Browser(),
                                ServiceAddress("/actions/cmdnewdesktopid(4711)"));
        },
        [&] {
            // Once the pick's request has reached the service, while its reply is held back.
            bool clicked = false;
            const EveryTick doubleClick(50, [&] {
                if (!clicked && Requests("/actions/wallpaperserve.php") == 1) {
                    clicked = true;
                    TrayDoubleClick();
                }
            });
            PumpUntil([] { return recSETTINGS.curdesktopid == "4711"; });
        });
    EXPECT_EQ(recSETTINGS.curdesktopid, "4711");
    EXPECT_EQ(modalWindows, (std::vector<std::string>{"TfrmWPPicker", "TfrmDownloader"}))
        << "no second picker inside the pick";
    EXPECT_EQ(Requests("/actions/requestsession.php"), 1) << "nor a second session";
}

TEST_F(PickerTest, AnHourlyCheckBetweenTheClickAndThePickWaitsForThePick) {
    OpenPicker(
        [&] {
            PumpUntil([&] { return ThumbnailPageRequested(); });
            FireBeforeNavigate2(frmWPPicker->WebHost().Browser(),
                                ServiceAddress("/actions/cmdnewdesktopid(4711)"));
            // The hourly check is due before the posted pick has run.
            frmResources->CycleTicks = 360;
            ::SendMessageA(frmResources->hwnd(), WM_TIMER, tmrCycleTimer, 0);
        },
        [&] {
            PumpUntil([&] {
                return !Request("POST /actions/wallpaperserve.php").empty() && !ExchangeRuns();
            });
        });
    EXPECT_EQ(Requests("/actions/wallpaperserve.php"), 1);
    const std::string body = Body(Request("POST /actions/wallpaperserve.php "));
    EXPECT_NE(body.find("%3Caction%3EGETNEWONE%3C%2Faction%3E"), std::string::npos)
        << "the pick's comes first: " << body;
    EXPECT_EQ(recSETTINGS.curdesktopid, "4711");
    EXPECT_GT(frmResources->CycleTicks, 360) << "the check comes at a later tick";
    EXPECT_TRUE(messages.empty());
}

TEST_F(PickerTest, AddressesOffTheServiceAndNewWindowsOpenNothing) {
    const std::wstring port = Wide(std::to_string(services().servicePort));
    std::vector<VARIANT_BOOL> cancels;
    bool navigated = false;
    OpenPicker([&] {
        IWebBrowser2* browser = frmWPPicker->WebHost().Browser();
        PumpUntil([&] { return ThumbnailPageRequested(); });
        // The stand-in under another name: the control would fetch from it.
        frmWPPicker->WebHost().Navigate(L"http://localhost:" + port + L"/elsewhere");
        for (const std::wstring& address : std::vector<std::wstring>{
                 L"file:///C:/windows/win.ini", L"https://127.0.0.1:" + port + L"/",
                 L"http://127.0.0.1:" + port + L"@other.test/", L"http://other.test/"}) {
            cancels.push_back(FireBeforeNavigate2(browser, address));
        }
        cancels.push_back(FireNewWindow2(browser));
        cancels.push_back(FireNewWindow3(browser, ServiceAddress("/actions/other.php")));
        cancels.push_back(FireFileDownload(browser, false));
        cancels.push_back(FireFileDownload(browser, true));
        frmWPPicker->WebHost().Navigate(ServiceAddress("/actions/wallpaper_thumbs.php?page=2"));
        navigated =
            PumpUntil([&] { return Requests("/actions/wallpaper_thumbs.php?page=2") == 1; });
    });
    EXPECT_EQ(cancels,
              (std::vector<VARIANT_BOOL>{VARIANT_TRUE, VARIANT_TRUE, VARIANT_TRUE, VARIANT_TRUE,
                                         VARIANT_TRUE, VARIANT_TRUE, VARIANT_TRUE, VARIANT_FALSE}));
    ASSERT_TRUE(navigated) << "the service's own pages still load";
    EXPECT_EQ(Requests("/elsewhere"), 0);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(modalWindows, std::vector<std::string>{"TfrmWPPicker"});
}

TEST_F(PickerTest, NavigationsWithoutTheMarkerGoOnInsideThePicker) {
    std::vector<VARIANT_BOOL> cancels;
    OpenPicker([&] {
        for (const char* path : {"/actions/wallpaper_thumbs.php?page=2",
                                 "/actions/CMDNEWDESKTOPID(4711)", "/cmdnewdesktopid4711"}) {
            cancels.push_back(
                FireBeforeNavigate2(frmWPPicker->WebHost().Browser(), ServiceAddress(path)));
        }
        FireDocumentComplete(frmWPPicker->WebHost().Browser(),
                             ServiceAddress("/actions/wallpaper_thumbs.php?page=2"));
    });
    EXPECT_EQ(cancels, (std::vector<VARIANT_BOOL>{VARIANT_FALSE, VARIANT_FALSE, VARIANT_FALSE}));
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(Request("POST /actions/wallpaperserve.php").empty());
    EXPECT_EQ(modalWindows, std::vector<std::string>{"TfrmWPPicker"});
}

TEST_F(PickerTest, TheBrowsersErrorPageOrAFailedFetchHidesThePickerAndReportsTheFailure) {
    struct Failure {
        const char* name;
        const char* fault;  // of the stand-in service, or none
        std::function<void()> whileOpen;
    };
    const std::vector<Failure> failures = {
        // The control's own error page, fired as the control fires it.
        {"error page", nullptr,
         [] {
             FireDocumentComplete(frmWPPicker->WebHost().Browser(),
                                  L"res://ieframe.dll/dnserror.htm");
         }},
        // The service answers the thumbnail page with an error: Wine's control raises
        // NavigateError itself.
        {"failed fetch",
         R"({"kind": "status", "status": 503, "path": "/actions/wallpaper_thumbs.php"})",
         [this] { PumpUntil([] { return frmWPPicker->ModalResult() != 0; }); }},
    };
    for (const Failure& failure : failures) {
        SCOPED_TRACE(failure.name);
        service().Reset();
        if (failure.fault) {
            service().SetFault(failure.fault);
        }
        modalWindows.clear();
        pickerVisibleAtModal.clear();
        OpenPicker(failure.whileOpen);
        EXPECT_FALSE(stillOpen);
        EXPECT_EQ(pickerResult, kModalFailed);
        EXPECT_FALSE(frmWPPicker->IsVisible());
        EXPECT_EQ(modalWindows, (std::vector<std::string>{"TfrmWPPicker", "TfrmPopop"}));
        EXPECT_EQ(pickerVisibleAtModal, (std::vector<bool>{false, false}));
    }
}

TEST_F(PickerTest, ThePickerStaysShutWithoutASessionOrWhileADownloadWindowIsOpen) {
    {
        const TfrmDownloader downloading(nullptr);
        OpenPicker([] {});
    }
    EXPECT_EQ(service().RequestCount(), 1) << "the session is asked for first";
    EXPECT_TRUE(modalWindows.empty());

    recSETTINGS.loginid = "unknown";
    OpenPicker([] {});
    EXPECT_EQ(service().RequestCount(), 2);
    EXPECT_TRUE(modalWindows.empty());
    EXPECT_TRUE(messages.empty()) << "a refused session says nothing";

    service().SetFault(R"({"kind": "refuse", "count": 1})");
    OpenPicker([] {});
    EXPECT_EQ(modalWindows, std::vector<std::string>{"TfrmPopop"});
    EXPECT_FALSE(SignedIn);

    SignedIn = true;
    frmWPPicker->Show();
    service().Reset();
    modalWindows.clear();
    OpenPicker([] {});
    EXPECT_TRUE(Request("GET /actions/requestsession.php").empty()) << "already open";
    EXPECT_TRUE(modalWindows.empty());
    frmWPPicker->Hide();
}

TEST_F(PickerTest, SigningOutOrTheCloseBoxEndsTheRunWithNothingElse) {
    OpenPicker([] { SignOut(true); });
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(pickerResult, kModalFailed);
    EXPECT_FALSE(frmWPPicker->IsVisible());

    SignedIn = true;
    service().Reset();
    OpenPicker([] { ::SendMessageA(frmWPPicker->hwnd(), WM_CLOSE, 0, 0); });
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(pickerResult, kModalFailed);
    EXPECT_FALSE(frmWPPicker->IsVisible());
    EXPECT_TRUE(Request("POST /actions/wallpaperserve.php").empty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(PickerTest, OnlyTheLeftButtonDragsThePickerByItsBackground) {
    RECT before = {};
    RECT after = {};
    OpenPicker([&] {
        before = WindowBounds(frmWPPicker->hwnd());
        ::SendMessageA(frmWPPicker->hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(3, 3));
        ::SendMessageA(frmWPPicker->hwnd(), WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(3, 3));
        after = WindowBounds(frmWPPicker->hwnd());
    });
    EXPECT_TRUE(::EqualRect(&before, &after));
    EXPECT_EQ(recSETTINGS.mainleft, 0);
    EXPECT_EQ(recSETTINGS.maintop, 0);

    OpenPicker([&] {
        // The system's move ends at the release of the button, here at once.
        ::PostMessageA(frmWPPicker->hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        ::SendMessageA(frmWPPicker->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        after = WindowBounds(frmWPPicker->hwnd());
    });
    EXPECT_EQ(recSETTINGS.mainleft, after.left);
    EXPECT_EQ(recSETTINGS.maintop, after.top);
}

// Whether a window of the class belongs to this thread, message-only windows included.
bool ThreadHasWindowOfClass(const char* className) {
    for (ULONG_PTR value = 0x20; value < 0x10000; value += 2) {
        const HWND window = reinterpret_cast<HWND>(value);
        char found[64] = "";
        if (::IsWindow(window) &&
            ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId() &&
            ::GetClassNameA(window, found, sizeof found) && std::string(found) == className) {
            return true;
        }
    }
    return false;
}

TEST_F(PickerTest, OpeningAndClosingAHundredTimesGivesBackEverything) {
    const auto openAndClose = [this] {
        OpenPicker([this] { PumpUntil([&] { return ThumbnailPageRequested(); }); });
        service().Reset();
    };
    // Wine's control finishes each fetch on thread-pool workers, which end some seconds later:
    // the objects are counted once none runs.
    const auto settle = [] { return PumpUntil([] { return !PoolWorkerRuns(); }); };
    openAndClose();
    openAndClose();
    ASSERT_TRUE(settle());
    // Wine's urlmon makes one notification window per thread at the first fetch that needs it,
    // which on a loaded machine may be any of them, and keeps it while the thread lives: no
    // object of the client's, it is left out of the counts.
    const auto count = [] {
        ProcessObjects objects = CountProcessObjects();
        objects.windows -= ThreadHasWindowOfClass("URL Moniker Notification Window");
        return objects;
    };
    const int comObjects = TheUi().liveBrowserHostObjects;
    const ProcessObjects before = count();
    for (int i = 0; i < 100; ++i) {
        openAndClose();
    }
    ASSERT_TRUE(settle());
    const ProcessObjects after = count();
    EXPECT_EQ(after, before);
    EXPECT_EQ(TheUi().liveBrowserHostObjects, comObjects);
    EXPECT_EQ(modalWindows.size(), 102u);

    // The counts see what they count.
    const UniqueHandle event(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
    const UniqueGdiObject brush(::CreateSolidBrush(RGB(1, 2, 3)));
    const HWND window = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                          nullptr, nullptr);
    const ProcessObjects held = CountProcessObjects();
    ::DestroyWindow(window);
    EXPECT_GE(held.kernel, after.kernel + 1);
    EXPECT_GE(held.gdi, after.gdi + 1);
    EXPECT_GE(held.User(), after.User() + 1);
}

}  // namespace
