// The notification popups through real windows, timers and mouse messages, beside the virtual
// desktop's bottom taskbar.

#include "components/notify_popup.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <oleacc.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/resource_window.h"
#include "components/notify_popup_window.h"
#include "components/pixel_canvas.h"
#include "support/accessible_controls.h"
#include "support/wine_test_fixture.h"

namespace {

// Records what the popups report, in order.
class RecordingPopup : public TNotifyPopUp {
  public:
    RecordingPopup() {
        OnURLClick = [this](TfrmNotifyPopUp& sender, const std::string& url) {
            events.push_back("link " + std::to_string(IndexOf(&sender)) + " " + url);
        };
        OnClick = [this](TNotifySender sender) {
            events.push_back(std::holds_alternative<TNotifyPopUp*>(sender)
                                 ? "click component"
                                 : "click popup " +
                                       std::to_string(IndexOf(std::get<TfrmNotifyPopUp*>(sender))));
        };
    }
    // Shows popups with the texts and links "1", "2" ... and remembers them in that order.
    void ShowNumbered(int count) {
        for (int i = 1; i <= count; ++i) {
            Text = "news " + std::to_string(i);
            URL = "http://news/" + std::to_string(i);
            ASSERT_TRUE(ShowNotification());
            shown.push_back(Notifications().back());
        }
    }
    // The number of a popup, counted from 1; a freed popup's address may have been taken by a
    // newer one, so the newest counts.
    int IndexOf(const TfrmNotifyPopUp* popup) const {
        for (size_t i = shown.size(); i > 0; --i) {
            if (shown[i - 1] == popup) {
                return static_cast<int>(i);
            }
        }
        return 0;
    }
    std::vector<std::string> events;
    std::vector<TfrmNotifyPopUp*> shown;  // may hold freed popups: compare, never use

  protected:
    void OpenURL(const std::string& url) override { events.push_back("open " + url); }
};

// "left,top,right,bottom", for comparisons that show the rectangles when they fail.
std::string Rect(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}
std::string Rect(int left, int top, int right, int bottom) {
    return Rect(RECT{left, top, right, bottom});
}

class NotifyPopupTest : public ClientTest {
  protected:
    static RECT Bounds(const TfrmNotifyPopUp* popup) {
        RECT bounds;
        ::GetWindowRect(popup->hwnd(), &bounds);
        return bounds;
    }
    static POINT Middle(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    static LPARAM At(POINT p) { return MAKELPARAM(p.x, p.y); }
    // A button pressed and released at a point of the popup's client area.
    static void Press(HWND window, POINT p, UINT down, UINT up) {
        ::SendMessageA(window, down, 0, At(p));
        ::SendMessageA(window, up, 0, At(p));
    }
    static bool FullHeight(const std::vector<TfrmNotifyPopUp*>& popups, int height) {
        for (const TfrmNotifyPopUp* popup : popups) {
            const RECT r = Bounds(popup);
            if (r.bottom - r.top != height) {
                return false;
            }
        }
        return true;
    }
    // Pumps until every popup has slid in.
    static bool SlidIn(const std::vector<TfrmNotifyPopUp*>& popups) {
        return PumpUntil([&] { return FullHeight(popups, 121); }, 5000);
    }
    // A news popup of the main window with the text, slid in; null when it did not.
    static TfrmNotifyPopUp* ShowNews(const std::string& text) {
        TNotifyPopUp& news = frmMain->notifypopup;
        news.Text = text;
        news.Title = "";
        if (!news.ShowNotification() || !SlidIn({news.Notifications().back()})) {
            return nullptr;
        }
        return news.Notifications().back();
    }

    RecordingPopup popup;
};

TEST_F(NotifyPopupTest, ThreeStandStackedAboveTheBottomTaskbarAfterSlidingIn) {
    ASSERT_EQ(ReadTaskbarEdge(), EdgeBottom) << "the virtual desktop's taskbar";
    const ScreenRect area = ReadWorkArea();
    const int R = area.right;
    const int B = area.bottom;
    TNotifyPopUp& news = frmMain->notifypopup;
    for (const char* text : {"one", "two", "three"}) {
        news.Text = text;
        ASSERT_TRUE(news.ShowNotification());
    }
    const std::vector<TfrmNotifyPopUp*> shown = news.Notifications();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(news.Stack().PopupCount(), 3);
    for (int i = 0; i < 3; ++i) {
        // A one-pixel sliver at the foot of its place.
        EXPECT_EQ(Rect(Bounds(shown[i])), Rect(R - 164, B - 2 - 123 * i, R - 16, B - 1 - 123 * i));
        EXPECT_EQ(shown[i]->PlacedOffset(), 123 * i);
        EXPECT_TRUE(::IsWindowVisible(shown[i]->hwnd()));
    }
    // Three slide steps grow the first by 9 pixels each, upwards.
    for (int tick = 0; tick < 3; ++tick) {
        ::SendMessageA(shown[0]->hwnd(), WM_TIMER, tmrScroll, 0);
    }
    EXPECT_EQ(Rect(Bounds(shown[0])), Rect(R - 164, B - 2 - 27, R - 16, B - 1));

    ASSERT_TRUE(SlidIn(shown));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Rect(Bounds(shown[i])),
                  Rect(R - 164, B - 123 - 123 * i, R - 16, B - 2 - 123 * i));
    }
    const HWND first = shown[0]->hwnd();
    char className[64] = "";
    ::GetClassNameA(first, className, sizeof(className));
    EXPECT_STREQ(className, "TfrmNotifyPopUp");
    const LONG style = ::GetWindowLongA(first, GWL_STYLE);
    const LONG exStyle = ::GetWindowLongA(first, GWL_EXSTYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION), WS_POPUP);
    const LONG wanted = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST | WS_EX_DLGMODALFRAME;
    EXPECT_EQ(exStyle & wanted, wanted);
    EXPECT_NE(::GetClassLongA(first, GCL_STYLE) & CS_DROPSHADOW, 0u);
    EXPECT_EQ(::GetParent(first), nullptr) << "no owner: the desktop's child";
    // The text is centred in the client area, the title empty for the news.
    RECT client;
    ::GetClientRect(first, &client);
    const RECT text = shown[0]->TextLabel().Bounds();
    EXPECT_EQ(text.left, CenteredStart(client.right, text.right - text.left));
    EXPECT_EQ(text.top, CenteredStart(client.bottom, text.bottom - text.top));
    EXPECT_EQ(shown[0]->Text(), "one");
}

TEST_F(NotifyPopupTest, TheWindowTheUserTypesInKeepsTheKeyboardEvenWhenAPopupIsClicked) {
    const HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                        300, 120, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    ::SetForegroundWindow(edit);
    ::SetFocus(edit);
    PumpUntil([] { return false; }, 200);
    ASSERT_EQ(::GetForegroundWindow(), edit);

    popup.ShowNumbered(3);
    ASSERT_TRUE(SlidIn(popup.shown));
    EXPECT_EQ(::GetForegroundWindow(), edit);
    EXPECT_EQ(::GetFocus(), edit);

    // A real click of the mouse on the second popup's text.
    RECT text = popup.shown[1]->TextLabel().Bounds();
    ::MapWindowPoints(popup.shown[1]->hwnd(), nullptr, reinterpret_cast<POINT*>(&text), 2);
    const POINT target = Middle(text);
    ::SetCursorPos(target.x, target.y);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(::SendInput(2, clicks, sizeof(INPUT)), 2u);
    EXPECT_TRUE(PumpUntil([&] { return !popup.events.empty(); }, 3000));
    EXPECT_EQ(popup.events,
              (std::vector<std::string>{"link 2 http://news/2", "open http://news/2"}));
    EXPECT_EQ(::GetForegroundWindow(), edit);
    EXPECT_EQ(::GetFocus(), edit);
    ::DestroyWindow(edit);
}

TEST_F(NotifyPopupTest, AClickOnTheTextReportsItsLinkAndClosesOnlyThatPopup) {
    popup.ShowNumbered(3);
    ASSERT_TRUE(SlidIn(popup.shown));
    const HWND second = popup.shown[1]->hwnd();
    // A screen reader hears the news as a link.
    EXPECT_EQ(AccessibleWindow(second), (AccessibleControl{ROLE_SYSTEM_LINK, "title: news 2"}));
    Press(second, Middle(popup.shown[1]->TextLabel().Bounds()), WM_LBUTTONDOWN, WM_LBUTTONUP);
    // The event first, with the popup as sender; then the shell opens the link itself.
    EXPECT_EQ(popup.events,
              (std::vector<std::string>{"link 2 http://news/2", "open http://news/2"}));
    EXPECT_FALSE(::IsWindow(second)) << "freed once its handlers returned";
    EXPECT_EQ(popup.Notifications(),
              (std::vector<TfrmNotifyPopUp*>{popup.shown[0], popup.shown[2]}));
    EXPECT_EQ(popup.Stack().PopupCount(), 2);
    EXPECT_TRUE(::IsWindowVisible(popup.shown[0]->hwnd()));

    // The next popup still goes above the highest place taken.
    popup.ShowNumbered(1);
    EXPECT_EQ(popup.shown[3]->PlacedOffset(), 3 * 123);
}

TEST_F(NotifyPopupTest, OtherClicksReportTheComponentAndClose) {
    popup.Title = "a title";
    popup.ShowNumbered(4);
    ASSERT_TRUE(SlidIn(popup.shown));
    const std::vector<HWND> windows = {popup.shown[0]->hwnd(), popup.shown[1]->hwnd(),
                                       popup.shown[2]->hwnd(), popup.shown[3]->hwnd()};
    Press(windows[0], Middle(popup.shown[0]->TextLabel().Bounds()), WM_RBUTTONDOWN, WM_RBUTTONUP);
    Press(windows[1], Middle(popup.shown[1]->TitleLabel().Bounds()), WM_LBUTTONDOWN, WM_LBUTTONUP);
    Press(windows[2], POINT{2, 2}, WM_MBUTTONDOWN, WM_MBUTTONUP);  // the background
    EXPECT_EQ(popup.events, std::vector<std::string>(3, "click component"));
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(::IsWindow(windows[i])) << i;
    }
    // The strip at the bottom takes clicks without acting.
    RECT client;
    ::GetClientRect(windows[3], &client);
    Press(windows[3], POINT{20, client.bottom - 1}, WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_TRUE(::IsWindowVisible(windows[3]));

    // With links not allowed the text's click reports the popup itself.
    popup.events.clear();
    popup.Options = npAllowScroll;
    popup.ShowNumbered(1);
    Press(popup.shown[4]->hwnd(), Middle(popup.shown[4]->TextLabel().Bounds()), WM_LBUTTONDOWN,
          WM_LBUTTONUP);
    EXPECT_EQ(popup.events, std::vector<std::string>{"click popup 5"});
}

TEST_F(NotifyPopupTest, HoveringTheLinkSwitchesToTheHoverFontAndCentresItAgain) {
    popup.Text = "A longer news text that the popup wraps over several lines";
    popup.HoverFont.SetStyle(fsBold | fsUnderline);  // wider, so the layout changes
    ASSERT_TRUE(popup.ShowNotification());
    TfrmNotifyPopUp* shown = popup.Notifications().back();
    ASSERT_TRUE(SlidIn({shown}));
    const RECT plain = shown->TextLabel().Bounds();
    EXPECT_EQ(shown->TextLabel().Font(), &popup.Font);
    EXPECT_GT(plain.bottom - plain.top, 20) << "wrapped";

    ::SendMessageA(shown->hwnd(), WM_MOUSEMOVE, 0, At(Middle(plain)));
    EXPECT_EQ(shown->TextLabel().Font(), &popup.HoverFont);
    const RECT hovered = shown->TextLabel().Bounds();
    RECT client;
    ::GetClientRect(shown->hwnd(), &client);
    EXPECT_EQ(hovered.left, CenteredStart(client.right, hovered.right - hovered.left));
    EXPECT_EQ(hovered.top, CenteredStart(client.bottom, hovered.bottom - hovered.top));

    ::SendMessageA(shown->hwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(shown->TextLabel().Font(), &popup.Font);
    EXPECT_TRUE(::EqualRect(&plain, &shown->TextLabel().Bounds()));

    popup.Options = npAllowScroll;
    ASSERT_TRUE(popup.ShowNotification());
    TfrmNotifyPopUp* withoutLinks = popup.Notifications().back();
    ::SendMessageA(withoutLinks->hwnd(), WM_MOUSEMOVE, 0,
                   At(Middle(withoutLinks->TextLabel().Bounds())));
    EXPECT_EQ(withoutLinks->TextLabel().Font(), &popup.Font);
}

TEST_F(NotifyPopupTest, APopupWaitsItsTimeSlidesOutAndClosesItself) {
    popup.TimeOut = 1;
    popup.ShowNumbered(1);
    popup.Options = npCascadePopups;  // the second appears at full size at once
    popup.ShowNumbered(1);
    const HWND sliding = popup.shown[0]->hwnd();
    const HWND still = popup.shown[1]->hwnd();
    EXPECT_EQ(Bounds(popup.shown[1]).bottom - Bounds(popup.shown[1]).top, 121);

    const ULONGLONG start = ::GetTickCount64();
    std::vector<int> heights;  // of the first, as it changes
    ASSERT_TRUE(PumpUntil(
        [&] {
            if (::IsWindow(sliding)) {
                RECT r;
                ::GetWindowRect(sliding, &r);
                if (heights.empty() || heights.back() != r.bottom - r.top) {
                    heights.push_back(r.bottom - r.top);
                }
            }
            return !::IsWindow(sliding) && !::IsWindow(still);
        },
        6000));
    const ULONGLONG took = ::GetTickCount64() - start;
    EXPECT_GE(took, 1000u + 13 * 25) << "a second at full size, and the slide out";
    EXPECT_EQ(heights.front(), 1);
    EXPECT_NE(std::find(heights.begin(), heights.end(), 121), heights.end());
    EXPECT_LT(heights.back(), 121) << "it shrank before it closed";
    EXPECT_EQ(popup.Stack().PopupCount(), 0);
    EXPECT_TRUE(popup.Notifications().empty());
}

TEST_F(NotifyPopupTest, ClosingAllLeavesAnotherProgramsWindowOfTheSameClassAlone) {
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string helper(path);
    helper = helper.substr(0, helper.find_last_of('\\') + 1) + "foreign_notify_window.exe";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(::CreateProcessA(helper.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &process))
        << helper;
    const UniqueHandle processHandle(process.hProcess);
    const UniqueHandle threadHandle(process.hThread);
    HWND foreign = nullptr;
    PumpUntil(
        [&] {
            foreign = ::FindWindowA("TfrmNotifyPopUp", "another program");
            return foreign != nullptr;
        },
        10000);
    ASSERT_NE(foreign, nullptr);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(foreign, &owner);
    ASSERT_EQ(owner, process.dwProcessId);

    popup.ShowNumbered(3);
    const std::vector<HWND> ours = {popup.shown[0]->hwnd(), popup.shown[1]->hwnd(),
                                    popup.shown[2]->hwnd()};
    popup.CloseAllNotifications();
    for (HWND window : ours) {
        EXPECT_FALSE(::IsWindow(window));
    }
    EXPECT_EQ(popup.Stack().PopupCount(), 0);
    // With nothing of ours open, a second call still leaves the other program alone.
    popup.CloseAllNotifications();
    PumpUntil([] { return false; }, 300);
    EXPECT_TRUE(::IsWindow(foreign));
    EXPECT_EQ(::WaitForSingleObject(process.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    ::TerminateProcess(process.hProcess, 0);
    ::WaitForSingleObject(process.hProcess, 5000);
}

RECT ClientArea(const TfrmNotifyPopUp& popup) {
    RECT client;
    ::GetClientRect(popup.hwnd(), &client);
    return client;
}

// The popup's client area as it paints it.
struct PrintedPopup {
    explicit PrintedPopup(const TfrmNotifyPopUp& popup)
        : canvas(ClientArea(popup).right, ClientArea(popup).bottom, 0) {
        ::SendMessageA(popup.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()),
                       PRF_CLIENT);
    }
    PixelCanvas canvas;
};

TEST_F(NotifyPopupTest, TheNewsPopupsShowTheLogoOnWhiteAndAPlainStrip) {
    TfrmNotifyPopUp* shown = ShowNews("");
    ASSERT_TRUE(shown);
    const PrintedPopup printed(*shown);
    const int w = printed.canvas.Width();
    const int h = printed.canvas.Height();
    EXPECT_EQ(printed.canvas.Pixel(w - 2, h - 4), RGB(255, 255, 255)) << "white beside the logo";
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    for (int y = h - 3; y < h; ++y) {
        EXPECT_EQ(printed.canvas.Pixel(w / 2, y), face) << y;
    }
    // The logo at the top left, its white ground left out.
    const Picture& logo = frmResources->imgLogoSmall;
    PixelCanvas alone(logo.Width(), logo.Height(), RGB(255, 255, 255));
    logo.Draw(alone.dc(), 0, 0, 0, true);
    int same = 0;
    for (int y = 0; y < logo.Height(); ++y) {
        for (int x = 0; x < logo.Width(); ++x) {
            same += printed.canvas.Pixel(x, y) == alone.Pixel(x, y);
        }
    }
    EXPECT_EQ(same, logo.Width() * logo.Height());
    EXPECT_LT(alone.CountPixels(RGB(255, 255, 255)), logo.Width() * logo.Height());
}

TEST_F(NotifyPopupTest, EveryLineOfAWrappedTextIsDrawn) {
    // Measured, its longest line fits exactly the width it then gets; drawn in that width alone
    // the platform wraps it once more and the last line would fall off.
    TfrmNotifyPopUp* shown = ShowNews("Tip: keep a MURLO for up to a week.");
    ASSERT_TRUE(shown);
    const PrintedPopup printed(*shown);
    const RECT text = shown->TextLabel().Bounds();
    ASSERT_GE(text.bottom - text.top, 26) << "wrapped";
    // The lines drawn are the lines measured: the widest spans the label.
    int left = printed.canvas.Width();
    int right = -1;
    for (int y = text.top; y < text.bottom; ++y) {
        for (int x = 0; x < printed.canvas.Width(); ++x) {
            const COLORREF c = printed.canvas.Pixel(x, y);
            if (GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    EXPECT_GE(right - left + 1, text.right - text.left - 3);
    EXPECT_LE(right - left + 1, text.right - text.left + 1);
}

TEST_F(NotifyPopupTest, WithoutABackgroundImageAGradientAndTheColourStripShow) {
    popup.Text = "";
    popup.Title = "";
    popup.GradientColor1 = 0x336699;
    popup.GradientColor2 = 0xFFFFFF;
    popup.ShowNumbered(1);
    ASSERT_TRUE(SlidIn(popup.shown));
    const PrintedPopup printed(*popup.shown[0]);
    const int w = printed.canvas.Width();
    const int h = printed.canvas.Height();
    const int gradient = h - 3;
    for (int y : {0, 1, gradient / 2, gradient - 1}) {
        EXPECT_EQ(printed.canvas.Pixel(w / 3, y),
                  static_cast<COLORREF>(GradientColorAt(y, gradient, 0x336699, 0xFFFFFF)))
            << y;
    }
    // The strip, stretched from 138 to the width: its first and last blocks at the two ends.
    EXPECT_EQ(printed.canvas.Pixel(0, h - 3), RGB(255, 255, 51));
    EXPECT_EQ(printed.canvas.Pixel(0, h - 2), RGB(251, 218, 48));
    EXPECT_EQ(printed.canvas.Pixel(0, h - 1), RGB(255, 204, 51));
    EXPECT_EQ(printed.canvas.Pixel(w - 1, h - 3), RGB(153, 204, 153));
    EXPECT_EQ(printed.canvas.Pixel(w - 1, h - 1), RGB(15, 141, 48));

    popup.GradientOrientation = mbHorizontal;
    popup.ShowNumbered(1);
    ASSERT_TRUE(SlidIn({popup.shown[1]}));
    const PrintedPopup across(*popup.shown[1]);
    EXPECT_EQ(across.canvas.Pixel(w / 2, 5),
              static_cast<COLORREF>(GradientColorAt(w / 2, w, 0x336699, 0xFFFFFF)));
}

TEST(StripBitmap, IsTheFourColourBlocksOfThreeRows) {
    const UniqueGdiObject strip(::LoadImageA(::GetModuleHandleA(nullptr), "STRIP", IMAGE_BITMAP, 0,
                                             0, LR_CREATEDIBSECTION));
    ASSERT_TRUE(strip);
    DIBSECTION section = {};
    ASSERT_EQ(::GetObjectA(strip.get(), sizeof(section), &section), sizeof(section));
    EXPECT_EQ(section.dsBm.bmWidth, 138);
    EXPECT_EQ(section.dsBm.bmHeight, 3);
    EXPECT_EQ(section.dsBmih.biBitCount, 24);
    PixelCanvas canvas(138, 3, 0);
    const UniqueDc source(::CreateCompatibleDC(nullptr));
    const SelectedObject selected(source.get(), strip.get());
    ::BitBlt(canvas.dc(), 0, 0, 138, 3, source.get(), 0, 0, SRCCOPY);
    const COLORREF rows[3][4] = {
        {RGB(255, 255, 51), RGB(247, 163, 16), RGB(51, 153, 204), RGB(153, 204, 153)},
        {RGB(251, 218, 48), RGB(255, 0, 0), RGB(51, 102, 204), RGB(115, 188, 136)},
        {RGB(255, 204, 51), RGB(204, 0, 0), RGB(43, 41, 144), RGB(15, 141, 48)},
    };
    const int blocks[4][2] = {{0, 71}, {72, 93}, {94, 115}, {116, 137}};
    for (int y = 0; y < 3; ++y) {
        for (int b = 0; b < 4; ++b) {
            for (int x : blocks[b]) {
                EXPECT_EQ(canvas.Pixel(x, y), rows[y][b]) << x << "," << y;
            }
        }
    }
}

TEST(MulDivRounded, AgreesWithThePlatform) {
    const int32_t values[] = {0,  1,    -1,  2,   -2,         3,           7,       -7,
                              51, -255, 112, 121, 0x7FFFFFFF, -0x7FFFFFFF, 0x10000, -0x10001};
    for (int32_t a : values) {
        for (int32_t b : values) {
            for (int32_t c : values) {
                ASSERT_EQ(MulDivRounded(a, b, c), ::MulDiv(a, b, c)) << a << " " << b << " " << c;
            }
        }
    }
}

}  // namespace
