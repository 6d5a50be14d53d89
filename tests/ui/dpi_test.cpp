// Every window at the DPI of the screen the tests run on: 96 in the main run, 144 and 192 in runs
// of their own. Client areas and control places are the design's scaled, within a pixel; nothing
// stands out of its window, and no text is wider than its control. With
// MURLOX_SCREENSHOTS set, each window is saved there as a bitmap, to be looked at.

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "components/notify_popup_window.h"
#include "service/download_window.h"
#include "signin/connection_failure_window.h"
#include "signin/sign_in.h"
#include "signin/sign_in_window.h"
#include "support/forms_test_fixture.h"
#include "ui/dpi.h"
#include "ui/form_table.h"
#include "ui/message_pump.h"
#include "ui/win_handles.h"
#include "windows/keep_window.h"
#include "windows/picker_window.h"
#include "windows/settings_window.h"

namespace {

BOOL CALLBACK CollectChild(HWND child, LPARAM found) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(child);
    return TRUE;
}

class DpiTest : public FormsTest {
  protected:
    // A design length at the screen's DPI may round either way of the frame's own rounding.
    static void ExpectScaled(long actual, int design, const std::string& what) {
        EXPECT_NEAR(actual, Scaled(design, SystemDpi()), 1) << what << " at " << SystemDpi();
    }
    static void ExpectPlace(const RECT& bounds, std::vector<int> design, const std::string& what) {
        const std::vector<long> place = Place(bounds);
        for (size_t i = 0; i < 4; ++i) {
            ExpectScaled(place[i], design[i], what + " [" + std::to_string(i) + "]");
        }
    }

    // Every visible control lies inside its window, and its text fits it at its font.
    static void ExpectNothingCut(HWND window) {
        RECT client;
        ::GetClientRect(window, &client);
        std::vector<HWND> children;
        ::EnumChildWindows(window, &CollectChild, reinterpret_cast<LPARAM>(&children));
        for (HWND child : children) {
            if (!::IsWindowVisible(child)) {
                continue;
            }
            RECT bounds;
            ::GetWindowRect(child, &bounds);
            ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&bounds), 2);
            char text[256] = "";
            ::GetWindowTextA(child, text, sizeof(text));
            char className[32] = "";
            ::GetClassNameA(child, className, sizeof(className));
            // Pictures may overhang by design (the main window's background); texts may not.
            if (lstrcmpA(className, "TImage") == 0) {
                continue;
            }
            EXPECT_LE(bounds.right, client.right)
                << className << " \"" << text << "\" stands out on the right";
            EXPECT_LE(bounds.bottom, client.bottom)
                << className << " \"" << text << "\" stands out below";
            if (text[0] != '\0' && lstrcmpiA(className, "Button") == 0) {
                ExpectTextFits(child, text, bounds);
            }
        }
    }

    // A button's or check box's caption at its font, wrapped where the control wraps, within the
    // control less a check box's mark.
    static void ExpectTextFits(HWND control, const char* text, const RECT& bounds) {
        const LONG style = ::GetWindowLongA(control, GWL_STYLE);
        const LONG type = style & BS_TYPEMASK;
        const bool checkBox = type == BS_AUTOCHECKBOX || type == BS_CHECKBOX;
        const int mark = checkBox ? Scaled(16, SystemDpi()) + 2 : 0;
        const int width = bounds.right - bounds.left - mark;
        const WindowDc dc(control);
        const SelectedObject font(
            dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageA(control, WM_GETFONT, 0, 0)));
        RECT measured = {0, 0, width, 0};
        const bool wraps = (style & BS_MULTILINE) != 0;
        ::DrawTextA(dc.get(), text, -1, &measured, DT_CALCRECT | (wraps ? DT_WORDBREAK : 0));
        EXPECT_LE(measured.right, width) << "\"" << text << "\" is wider than its control";
    }

    // The window as the screen shows it, into MURLOX_SCREENSHOTS/<name>.bmp, by default its class.
    static void SaveScreenshot(HWND window, std::string name = "") {
        const char* folder = std::getenv("MURLOX_SCREENSHOTS");
        if (!folder || !*folder) {
            return;
        }
        // Wine puts what was painted on the screen once the thread finds its queue empty; the
        // picture would otherwise miss the parts painted last.
        DispatchWaitingMessages();
        RECT bounds;
        ::GetWindowRect(window, &bounds);
        const int width = bounds.right - bounds.left;
        const int height = bounds.bottom - bounds.top;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        const WindowDc screen(nullptr);
        const UniqueGdiObject section(
            ::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        const UniqueDc memory(::CreateCompatibleDC(screen.get()));
        {
            const SelectedObject selected(memory.get(), section.get());
            ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), bounds.left, bounds.top,
                     SRCCOPY);
        }
        if (name.empty()) {
            char className[64] = "";
            ::GetClassNameA(window, className, sizeof(className));
            name = className;
        }
        const std::string path = std::string(folder) + "\\" + name + ".bmp";
        const DWORD imageBytes = DWORD((width * 3 + 3) / 4 * 4) * DWORD(height);
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
        file.bfSize = file.bfOffBits + imageBytes;
        if (FILE* out = std::fopen(path.c_str(), "wb")) {
            std::fwrite(&file, sizeof(file), 1, out);
            std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out);
            std::fwrite(bits, 1, imageBytes, out);
            std::fclose(out);
        }
    }

    void Look(Window& window, const std::string& name = "") {
        ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(window.hwnd()) != FALSE; }, 2000));
        ::RedrawWindow(window.hwnd(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        ExpectNothingCut(window.hwnd());
        SaveScreenshot(window.hwnd(), name);
    }
};

TEST_F(DpiTest, EveryWindowIsItsDesignScaledAndNothingIsCut) {
    SignedIn = false;
    // The designs of the program's windows; every window of its table is looked at, with a design
    // or without.
    const std::map<const Window*, std::function<void()>> designs = {
        {frmMain,
         [&] {
             ExpectScaled(ClientSize(*frmMain).cx, 226, "main window width");
             ExpectScaled(ClientSize(*frmMain).cy, 226, "main window height");
             // The tray icon at the small-icon size of the screen's scale, drawn for it.
             ICONINFO icon = {};
             ASSERT_TRUE(::GetIconInfo(frmMain->theTray().TrayData().hIcon, &icon));
             const UniqueGdiObject colour(icon.hbmColor);
             const UniqueGdiObject mask(icon.hbmMask);
             BITMAP bitmap = {};
             ::GetObjectA(colour.get(), sizeof(bitmap), &bitmap);
             EXPECT_EQ(bitmap.bmWidth, Scaled(16, SystemDpi()));
         }},
        {frmRegisterLogin,
         [&] {
             TfrmRegisterLogin& signIn = *frmRegisterLogin;
             ExpectScaled(ClientSize(signIn).cx, 279, "sign-in width");
             ExpectScaled(ClientSize(signIn).cy, 252, "sign-in height");
             ExpectPlace(signIn.Username().Bounds(), {8, 90, 177, 21}, "e-mail");
             ExpectPlace(signIn.Password().Bounds(), {8, 130, 177, 21}, "password");
             ExpectPlace(signIn.AutoSignin().Bounds(), {8, 180, 265, 33}, "automatic sign-in");
         }},
        {frmPopop,
         [&] {
             TfrmPopop& failure = *frmPopop;
             ExpectScaled(ClientSize(failure).cx, 420, "failure width");
             ExpectScaled(ClientSize(failure).cy, 85, "failure height");
             ExpectPlace(failure.OkButton().Bounds(), {170, 56, 80, 25}, "failure OK");
         }},
        {frmSettings,
         [&] {
             TfrmSettings& settings = *frmSettings;
             ExpectScaled(ClientSize(settings).cx, 432, "settings width");
             ExpectScaled(ClientSize(settings).cy, 381, "settings height");
             ExpectPlace(settings.Tabs().Bounds(), {8, 8, 409, 321}, "settings pages");
             ExpectPlace(settings.OkButton().Bounds(), {248, 344, 81, 25}, "settings OK");
             settings.Tabs().SetActivePageIndex(0);
             Look(settings, "TfrmSettings-preferences");
         }},
        {frmWPSetTime,
         [&] {
             ExpectScaled(ClientSize(*frmWPSetTime).cx, 211, "keep width");
             ExpectScaled(ClientSize(*frmWPSetTime).cy, 101, "keep height");
         }},
        // As it is made, before its page: shown, it would open it.
        {frmWPPicker,
         [&] {
             ExpectScaled(ClientSize(*frmWPPicker).cx, 365, "picker width");
             ExpectScaled(ClientSize(*frmWPPicker).cy, 249, "picker height");
             ExpectPlace(frmWPPicker->WebHost().Bounds(), {10, 10, 345, 225}, "picker page");
         }},
    };
    int looked = 0;
    ForEachForm([&](Window& form, const FormRole& role) {
        // The resource window is never shown.
        if (!role.hiddenByHideAll) {
            return;
        }
        const bool shown = &form != frmWPPicker;
        if (shown) {
            form.Show();
            Look(form);
        }
        const auto design = designs.find(&form);
        if (design != designs.end()) {
            design->second();
            ++looked;
        }
        if (shown) {
            form.Hide();
        }
    });
    EXPECT_EQ(looked, static_cast<int>(designs.size())) << "a design without its window";

    // A news popup, once it has slid in.
    TNotifyPopUp& news = frmMain->notifypopup;
    news.Text = "A new MURLO is waiting for you.";
    news.URL.clear();
    news.Title.clear();
    ASSERT_TRUE(news.ShowNotification());
    TfrmNotifyPopUp& popup = *news.Notifications().back();
    EXPECT_TRUE(PumpUntil(
        [&] {
            RECT bounds;
            ::GetWindowRect(popup.hwnd(), &bounds);
            return bounds.bottom - bounds.top >= Scaled(121, SystemDpi());
        },
        5000));
    RECT bounds;
    ::GetWindowRect(popup.hwnd(), &bounds);
    ExpectScaled(bounds.right - bounds.left, 148, "popup width");
    ExpectScaled(bounds.bottom - bounds.top, 121, "popup height");
    SaveScreenshot(popup.hwnd());
    // As many as the work area holds at this DPI, the last as wholly inside it as the first. The
    // work area is made as high as five popups and a gap the 96-dpi popup would fit in.
    RECT realArea = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &realArea, 0);
    const int step = Scaled(121, SystemDpi()) + Scaled(2, SystemDpi());
    RECT testArea = realArea;
    testArea.bottom = realArea.top + 5 * step + (123 + step) / 2;
    ASSERT_TRUE(::SystemParametersInfoA(SPI_SETWORKAREA, 0, &testArea, 0));
    while (news.Notifications().size() < 30 && news.ShowNotification()) {
    }
    EXPECT_TRUE(PumpUntil(
        [&] {
            for (const TfrmNotifyPopUp* each : news.Notifications()) {
                RECT slid;
                ::GetWindowRect(each->hwnd(), &slid);
                if (slid.bottom - slid.top < Scaled(121, SystemDpi())) {
                    return false;
                }
            }
            return true;
        },
        10000));
    const ScreenRect workArea = ReadWorkArea();
    for (const TfrmNotifyPopUp* each : news.Notifications()) {
        ::GetWindowRect(each->hwnd(), &bounds);
        EXPECT_GE(bounds.top, workArea.top) << "a popup above the work area";
    }
    news.CloseAllNotifications();
    ::SystemParametersInfoA(SPI_SETWORKAREA, 0, &realArea, 0);

    // The download window, as it is made, before its transfer.
    TfrmDownloader download(frmWPPicker->hwnd());
    download.StartDownload("http://127.0.0.1:9/murlo.jpg", "unused.bmp", /*silent=*/false);
    ExpectScaled(ClientSize(download).cx, 230, "download width");
    ExpectScaled(ClientSize(download).cy, 57, "download height");
    ExpectPlace(download.prog().Bounds(), {12, 21, 201, 17}, "download progress");
}

// Moved to a screen of twice the DPI, a window takes the place Windows proposes with its client
// area scaled within the frame it really has, and its controls, fonts and pictures follow.
TEST_F(DpiTest, AMoveToAScreenOfAnotherDpiLaysTheWindowOutAgain) {
    const int dpi = SystemDpi();
    const int moved = 2 * dpi;
    TfrmSettings& settings = *frmSettings;
    settings.Show();
    const auto fontHeight = [](HWND control) {
        LOGFONTA font = {};
        ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)),
                     sizeof(font), &font);
        return font.lfHeight;
    };
    const LONG okFont = fontHeight(settings.OkButton().hwnd());
    // The place Windows proposes to a per-monitor v1 window: the whole window scaled, frame and
    // all, though the frame keeps the system's DPI unless the window asked for it to be scaled
    // (Windows 10 1607), and always under Wine.
    const auto proposal = [&](const Window& form) {
        RECT window;
        ::GetWindowRect(form.hwnd(), &window);
        return RECT{window.left, window.top,
                    window.left + ::MulDiv(window.right - window.left, moved, dpi),
                    window.top + ::MulDiv(window.bottom - window.top, moved, dpi)};
    };
    RECT proposed = proposal(settings);
    ::SendMessageA(settings.hwnd(), WM_DPICHANGED, MAKEWPARAM(moved, moved),
                   reinterpret_cast<LPARAM>(&proposed));
    RECT placed;
    ::GetWindowRect(settings.hwnd(), &placed);
    EXPECT_EQ(placed.left, proposed.left);
    EXPECT_EQ(placed.top, proposed.top);
    EXPECT_NEAR(ClientSize(settings).cx, Scaled(432, moved), 1);
    EXPECT_NEAR(ClientSize(settings).cy, Scaled(381, moved), 1);
    const std::vector<long> ok = Place(settings.OkButton().Bounds());
    const int design[] = {248, 344, 81, 25};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(ok[i], Scaled(design[i], moved), 2) << i;
    }
    EXPECT_EQ(fontHeight(settings.OkButton().hwnd()), ::MulDiv(okFont, moved, dpi));

    // Pictures are drawn again at the new DPI, and labels sized to their text anew.
    TfrmWPSetTime& keep = *frmWPSetTime;
    keep.Show();
    const RECT label = keep.KeepLabel().Bounds();
    proposed = proposal(keep);
    ::SendMessageA(keep.hwnd(), WM_DPICHANGED, MAKEWPARAM(moved, moved),
                   reinterpret_cast<LPARAM>(&proposed));
    const RECT grown = keep.KeepLabel().Bounds();
    // Twice the font, about twice the text: hinting rounds each letter its own way.
    const double width = label.right - label.left;
    EXPECT_NEAR(grown.right - grown.left, 2 * width, 0.1 * width);
    EXPECT_NO_FATAL_FAILURE(ExpectNothingCut(keep.hwnd()));
}

}  // namespace
