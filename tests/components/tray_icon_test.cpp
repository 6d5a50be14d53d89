// The tray icon with the real shell of the Wine desktop: its hidden window driven with the shell's
// callback message, the shell's answers about the icon's entry, the animation timer, the popup
// menu opened and worked from the keyboard, and the image list it animates from.

#include "components/tray_icon.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "components/image_list.h"
#include "components/popup_menu.h"
#include "support/masked_bitmap.h"
#include "support/wine_test_fixture.h"
#include "ui/win_handles.h"
#include "ui/window.h"

namespace {

using Log = std::vector<std::string>;

constexpr COLORREF kMaskColor = RGB(255, 0, 255);
// The middle pixels of the two tray pictures.
constexpr COLORREF kSignedInColor = RGB(255, 7, 108);
constexpr COLORREF kSignedOutColor = RGB(140, 140, 140);

// A file of the project's sources; under Wine the Unix root is drive Z:.
std::string SourceFile(const std::string& relative) {
    std::string path = __FILE__;
    path.erase(path.rfind("tests/components/"));
    return "Z:" + path + relative;
}

// The colour the icon shows at (x, y) when drawn over the background colour.
COLORREF IconPixel(HICON icon, int x, int y, COLORREF background) {
    HDC screen = ::GetDC(nullptr);
    const UniqueDc dc(::CreateCompatibleDC(screen));
    const UniqueGdiObject bitmap(::CreateCompatibleBitmap(screen, 16, 16));
    ::ReleaseDC(nullptr, screen);
    const SelectedObject selected(dc.get(), bitmap.get());
    const UniqueGdiObject brush(::CreateSolidBrush(background));
    const RECT all = {0, 0, 16, 16};
    ::FillRect(dc.get(), &all, static_cast<HBRUSH>(brush.get()));
    ::DrawIconEx(dc.get(), 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    return ::GetPixel(dc.get(), x, y);
}

COLORREF IconCentre(HICON icon) {
    return IconPixel(icon, 8, 8, RGB(255, 255, 255));
}

// The two tray pictures, signed in first, as the main window loads them.
std::unique_ptr<TImageList> TrayPictures() {
    auto list = std::make_unique<TImageList>(16, 16);
    EXPECT_TRUE(
        AddMaskedBitmapFile(*list, 16, 16, SourceFile("resources/tray_signed_in.bmp"), kMaskColor));
    EXPECT_TRUE(AddMaskedBitmapFile(*list, 16, 16, SourceFile("resources/tray_signed_out.bmp"),
                                    kMaskColor));
    return list;
}

// Whether the shell has an entry for the window's icon: it accepts a change only of an icon it
// knows.
bool ShellKnowsIcon(HWND window) {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = 1;
    return ::Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

// What a shell that restarted has done: forgotten the icon.
void ShellForgetsIcon(HWND window) {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = 1;
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &data));
}

// Holds keys down in this thread's keyboard state, which GetKeyState reports, while it lives.
class HeldKeys {
  public:
    explicit HeldKeys(std::initializer_list<int> keys) {
        ::GetKeyboardState(saved_);
        BYTE state[256];
        std::memcpy(state, saved_, sizeof state);
        for (const int key : keys) {
            state[key] = 0x80;
        }
        ::SetKeyboardState(state);
    }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;
    ~HeldKeys() { ::SetKeyboardState(saved_); }

  private:
    BYTE saved_[256];
};

BOOL CALLBACK FindOpenMenuWindow(HWND window, LPARAM result) {
    char name[16] = "";
    ::GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32768") == 0 && ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
    }
    return TRUE;
}

// The window of the popup menu that this thread shows, if any.
HWND OpenMenuWindowOfThisThread() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindOpenMenuWindow,
                        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Works the popup menu that this thread opens, as a person at the keyboard would: a timer that
// runs inside the menu's modal loop finds the open menu, notes what it shows and posts the keys.
class MenuDriver {
  public:
    explicit MenuDriver(std::vector<WPARAM> keys) : keys_(std::move(keys)) {
        current_ = this;
        timer_ = ::SetTimer(nullptr, 0, 20, &MenuDriver::Tick);
    }
    MenuDriver(const MenuDriver&) = delete;
    MenuDriver& operator=(const MenuDriver&) = delete;
    ~MenuDriver() {
        ::KillTimer(nullptr, timer_);
        current_ = nullptr;
    }

    // Escape closes the menu without a choice.
    static std::vector<WPARAM> Close() { return {VK_ESCAPE}; }
    // Home selects the first item, each Down the next one that is not a separator (disabled
    // items included), Return chooses.
    static std::vector<WPARAM> Choose(int downs) {
        std::vector<WPARAM> keys = {VK_HOME};
        keys.insert(keys.end(), static_cast<size_t>(downs), WPARAM{VK_DOWN});
        keys.push_back(VK_RETURN);
        return keys;
    }

    bool opened = false;
    HMENU shownMenu = nullptr;
    HWND foreground = nullptr;
    // Runs when the menu is seen open, for checks of the state at that moment.
    std::function<void()> whileOpen;

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        MenuDriver* self = current_;
        HWND menuWindow = OpenMenuWindowOfThisThread();
        if (!self || !menuWindow) {
            return;
        }
        if (!self->opened) {
            self->opened = true;
            self->shownMenu =
                reinterpret_cast<HMENU>(::SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
            self->foreground = ::GetForegroundWindow();
            if (self->whileOpen) {
                self->whileOpen();
            }
            for (const WPARAM key : self->keys_) {
                ::PostMessageA(menuWindow, WM_KEYDOWN, key, 0);
            }
        } else if (++self->ticksOpen_ > 250) {
            // The keys did not close it: close it anyway rather than hang the test run.
            ADD_FAILURE() << "the menu stayed open";
            ::EndMenu();
        }
    }

    static MenuDriver* current_;
    std::vector<WPARAM> keys_;
    UINT_PTR timer_ = 0;
    int ticksOpen_ = 0;
};

MenuDriver* MenuDriver::current_ = nullptr;

class OwnerForm : public Window {
  public:
    OwnerForm() {
        CreateForm(FormDescription("MurloxTrayTestOwner")
                       .Caption("Tray owner")
                       .Style(WS_POPUP)
                       .At(10, 10)
                       .ClientSize(60, 60),
                   nullptr);
    }
};

// A tray icon whose shell calls are logged, with the shell's answer, beside its events.
class LoggingTray : public TTrayIcon {
  public:
    LoggingTray(Window& owner, Log& log) : TTrayIcon(owner), log_(log) {}
    bool AddTrayEntry() override { return Logged("add", TTrayIcon::AddTrayEntry()); }
    bool DeleteTrayEntry() override { return Logged("delete", TTrayIcon::DeleteTrayEntry()); }
    bool UpdateTrayEntry() override { return Logged("update", TTrayIcon::UpdateTrayEntry()); }

    // How many adds more are refused as a busy shell refuses them, before the shell is asked.
    int refusedAdds = 0;

  protected:
    bool ShellNotifyIcon(DWORD message, NOTIFYICONDATAA& data) override {
        if (message == NIM_ADD && refusedAdds > 0) {
            --refusedAdds;
            return false;
        }
        return TTrayIcon::ShellNotifyIcon(message, data);
    }

  private:
    bool Logged(const std::string& call, bool accepted) {
        log_.push_back(accepted ? call : call + " refused");
        return accepted;
    }

    Log& log_;
};

std::string ButtonName(TMouseButton button) {
    switch (button) {
        case mbLeft:
            return "left";
        case mbRight:
            return "right";
        case mbMiddle:
            return "middle";
    }
    return "?";
}

class TrayIconTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(::FindWindowA("Shell_TrayWnd", nullptr), nullptr)
            << "the tests need a Wine desktop with a taskbar (scripts/wine-env)";
        tray = std::make_unique<LoggingTray>(owner, log);
        tray->OnClick = [this] { log.push_back("Click"); };
        tray->OnDblClick = [this] { log.push_back("DblClick"); };
        tray->OnCycle = [this](int32_t current) {
            log.push_back("Cycle " + std::to_string(current));
            cycleColors.push_back(IconCentre(tray->Icon().Handle()));
        };
        tray->OnMouseDown = [this](TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
            log.push_back("MouseDown " + ButtonName(button));
            Note(shift, x, y);
        };
        tray->OnMouseUp = [this](TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
            log.push_back("MouseUp " + ButtonName(button));
            Note(shift, x, y);
        };
        tray->OnMouseMove = [this](TShiftState shift, int32_t x, int32_t y) {
            log.push_back("MouseMove");
            Note(shift, x, y);
        };
    }

    // The shell's notification of a mouse action over the icon.
    void Notify(int32_t mouseMessage) {
        ::SendMessageA(tray->Handle(), kTrayCallbackMessage, 1, mouseMessage);
    }
    void Tick() { ::SendMessageA(tray->Handle(), WM_TIMER, kTrayCycleTimer, 0); }
    Log TakeLog() { return std::exchange(log, {}); }

    // A menu whose items log their handler.
    void AddItems(TPopupMenu& menu, std::initializer_list<const char*> captions) {
        for (const char* caption : captions) {
            menu.Add(caption, [this, caption] { log.push_back(std::string("item ") + caption); });
        }
    }

    OwnerForm owner;
    Log log;
    std::vector<COLORREF> cycleColors;
    TShiftState lastShift;
    POINT lastPoint = {-1, -1};
    std::unique_ptr<LoggingTray> tray;

  private:
    void Note(TShiftState shift, int32_t x, int32_t y) {
        lastShift = shift;
        lastPoint = {x, y};
    }
};

TEST_F(TrayIconTest, StartsWithItsRecordAndAHiddenTopLevelWindowOfAFixedClass) {
    const NOTIFYICONDATAA& data = tray->TrayData();
    EXPECT_EQ(data.cbSize, 88u);
    EXPECT_EQ(data.hWnd, tray->Handle());
    EXPECT_EQ(data.uID, 1u);
    EXPECT_EQ(data.uFlags, 7u);
    EXPECT_EQ(data.uCallbackMessage, 2048u);

    char className[64] = "";
    ::GetClassNameA(tray->Handle(), className, sizeof className);
    EXPECT_STREQ(className, "TTrayIconWindow");
    EXPECT_FALSE(::IsWindowVisible(tray->Handle()));
    EXPECT_EQ(::GetAncestor(tray->Handle(), GA_PARENT), ::GetDesktopWindow());
    EXPECT_EQ(::SendMessageA(tray->Handle(), WM_QUERYENDSESSION, 0, 0), 1);

    EXPECT_TRUE(tray->Enabled());
    EXPECT_TRUE(tray->IconVisible());
    EXPECT_TRUE(tray->Icon().Empty());
    EXPECT_EQ(tray->Hint(), "");
    EXPECT_FALSE(tray->ShowHint());
    EXPECT_FALSE(tray->LeftPopup());
    EXPECT_FALSE(tray->CycleIcons());
    EXPECT_EQ(tray->CycleInterval(), 0u);
    EXPECT_EQ(tray->CycleIndex(), 0);
    EXPECT_FALSE(tray->ClickPending());
    EXPECT_FALSE(ShellKnowsIcon(tray->Handle())) << "nothing reaches the shell before Loaded";
    EXPECT_TRUE(log.empty());
}

TEST_F(TrayIconTest, LoadedUpdatesThenAddsOrRemovesTheEntryAsIconVisibleSays) {
    tray->Loaded();
    EXPECT_EQ(TakeLog(), (Log{"update refused", "add"}));
    EXPECT_TRUE(ShellKnowsIcon(tray->Handle()));

    OwnerForm otherOwner;
    Log otherLog;
    LoggingTray hidden(otherOwner, otherLog);
    hidden.SetIconVisible(false);
    hidden.Loaded();
    EXPECT_EQ(otherLog, (Log{"delete refused", "update refused", "delete refused"}));
    EXPECT_FALSE(ShellKnowsIcon(hidden.Handle()));
}

TEST_F(TrayIconTest, EveryIconVisibleWriteAddsOrRemovesTheEntry) {
    tray->SetIconVisible(true);
    EXPECT_TRUE(ShellKnowsIcon(tray->Handle()));
    tray->SetIconVisible(true);
    EXPECT_TRUE(tray->IconVisible());
    EXPECT_TRUE(ShellKnowsIcon(tray->Handle()));
    EXPECT_FALSE(tray->AddTrayEntry()) << "the shell refuses a second add";

    tray->SetIconVisible(false);
    EXPECT_FALSE(tray->IconVisible());
    EXPECT_FALSE(ShellKnowsIcon(tray->Handle()));
    tray->SetIconVisible(false);
    EXPECT_FALSE(tray->UpdateTrayEntry());
    EXPECT_FALSE(tray->IconVisible()) << "an update leaves IconVisible alone";

    tray->SetIconVisible(true);
    EXPECT_TRUE(ShellKnowsIcon(tray->Handle()));
    EXPECT_EQ(TakeLog(), (Log{"add", "add refused", "add refused", "delete", "delete refused",
                              "update refused", "add"}));
}

TEST_F(TrayIconTest, IconHintAndShowHintWritesUpdateTheEntryInPlace) {
    tray->SetIconVisible(true);
    TakeLog();
    const auto pictures = TrayPictures();
    TIcon source;
    ASSERT_TRUE(pictures->GetIcon(1, source));

    tray->SetIcon(source);
    EXPECT_NE(tray->Icon().Handle(), source.Handle()) << "the tray keeps a copy of its own";
    EXPECT_EQ(tray->TrayData().hIcon, tray->Icon().Handle());
    source.Reset(UniqueIcon());
    EXPECT_EQ(IconCentre(tray->Icon().Handle()), kSignedOutColor);

    tray->SetHint("MURLOX");
    EXPECT_EQ(std::string(tray->TrayData().szTip, 64), std::string(64, '\0'))
        << "no tooltip while ShowHint is false";
    tray->SetShowHint(true);
    EXPECT_EQ(std::string(tray->TrayData().szTip, 64), "MURLOX" + std::string(58, '\0'));
    tray->SetHint(std::string(70, 'h'));
    EXPECT_EQ(std::string(tray->TrayData().szTip, 64), std::string(63, 'h') + '\0');
    EXPECT_EQ(TakeLog(), (Log{"update", "update", "update", "update"}));
    EXPECT_TRUE(ShellKnowsIcon(tray->Handle()));
}

TEST_F(TrayIconTest, TaskbarCreatedBringsAVisibleIconBack) {
    const UINT taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    tray->SetIconVisible(true);
    ShellForgetsIcon(tray->Handle());
    ASSERT_FALSE(ShellKnowsIcon(tray->Handle()));
    TakeLog();

    // The shell broadcasts it to every top-level window.
    ASSERT_TRUE(::PostMessageA(HWND_BROADCAST, taskbarCreated, 0, 0));
    EXPECT_TRUE(PumpUntil([&] { return !log.empty(); }));
    EXPECT_EQ(TakeLog(), Log{"add"});
    EXPECT_TRUE(ShellKnowsIcon(tray->Handle()));

    tray->SetIconVisible(false);
    TakeLog();
    ::SendMessageA(tray->Handle(), taskbarCreated, 0, 0);
    EXPECT_TRUE(log.empty()) << "a removed icon stays away";
    EXPECT_FALSE(ShellKnowsIcon(tray->Handle()));
}

TEST_F(TrayIconTest, AnAddTheShellRefusesIsTriedAgainUntilTheShellTakesIt) {
    tray->refusedAdds = 2;
    tray->SetIconVisible(true);
    EXPECT_FALSE(ShellKnowsIcon(tray->Handle()));
    ASSERT_TRUE(PumpUntil([&] { return ShellKnowsIcon(tray->Handle()); }));
    EXPECT_EQ(TakeLog(), (Log{"add refused", "add refused", "add"}));
    EXPECT_FALSE(::KillTimer(tray->Handle(), kTrayAddRetryTimer)) << "no try after the add";

    // Removed while a try waits: it is not tried any more.
    tray->SetIconVisible(false);
    tray->refusedAdds = 1;
    tray->SetIconVisible(true);
    tray->SetIconVisible(false);
    EXPECT_FALSE(::KillTimer(tray->Handle(), kTrayAddRetryTimer)) << "no try after the removal";
    EXPECT_EQ(TakeLog(), (Log{"delete", "add refused", "delete refused"}));
    EXPECT_FALSE(ShellKnowsIcon(tray->Handle()));
}

TEST_F(TrayIconTest, MouseEventsCarryTheKeysHeldAndTheCursorPosition) {
    ASSERT_TRUE(::SetCursorPos(123, 234));
    {
        const HeldKeys keys{VK_SHIFT, VK_CONTROL};
        Notify(WM_MOUSEMOVE);
        EXPECT_EQ(TakeLog(), Log{"MouseMove"});
        EXPECT_EQ(lastShift, TShiftState() + ssShift + ssCtrl);
        EXPECT_EQ(lastPoint.x, 123);
        EXPECT_EQ(lastPoint.y, 234);
    }
    {
        const HeldKeys keys{VK_MENU};
        Notify(WM_MBUTTONDOWN);
        EXPECT_EQ(lastShift, TShiftState() + ssAlt + ssMiddle);
    }
    Notify(WM_MBUTTONUP);
    EXPECT_EQ(lastShift, TShiftState() + ssMiddle);
    EXPECT_EQ(TakeLog(), (Log{"MouseDown middle", "MouseUp middle"}));
}

TEST_F(TrayIconTest, LeftClickRaisesDownClickAndUpInThisOrder) {
    Notify(WM_LBUTTONDOWN);
    EXPECT_EQ(TakeLog(), Log{"MouseDown left"});
    EXPECT_EQ(lastShift, TShiftState() + ssLeft);
    EXPECT_TRUE(tray->ClickPending());

    Notify(WM_LBUTTONUP);
    EXPECT_EQ(TakeLog(), (Log{"Click", "MouseUp left"}));
    EXPECT_EQ(lastShift, TShiftState() + ssLeft);
    EXPECT_FALSE(tray->ClickPending());

    Notify(WM_LBUTTONUP);
    EXPECT_EQ(TakeLog(), Log{"MouseUp left"}) << "an up without its down is no click";
}

TEST_F(TrayIconTest, DoubleClickRunsTheTopMostDefaultItemAfterDblClick) {
    TPopupMenu menu;
    AddItems(menu, {"Visit", "Get another", "Exit"});
    menu.Items(1).SetDefault(true);
    menu.Items(2).SetDefault(true);
    tray->SetPopupMenu(&menu);

    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
        Notify(message);
    }
    EXPECT_EQ(TakeLog(), (Log{"MouseDown left", "Click", "MouseUp left", "DblClick",
                              "item Get another", "MouseUp left"}));
    EXPECT_FALSE(tray->ClickPending());
}

TEST_F(TrayIconTest, DoubleClickRunsNoItemUnlessTheMenuMayPopUpOnItsOwn) {
    TPopupMenu menu;
    AddItems(menu, {"Visit", "Get another"});
    TMenuItem& defaultItem = menu.Items(1);
    defaultItem.SetDefault(true);

    Notify(WM_LBUTTONDBLCLK);
    EXPECT_EQ(TakeLog(), Log{"DblClick"}) << "no menu";

    tray->SetPopupMenu(&menu);
    tray->SetLeftPopup(true);
    Notify(WM_LBUTTONDBLCLK);
    EXPECT_EQ(TakeLog(), Log{"DblClick"}) << "LeftPopup";

    tray->SetLeftPopup(false);
    menu.SetAutoPopup(false);
    Notify(WM_LBUTTONDBLCLK);
    EXPECT_EQ(TakeLog(), Log{"DblClick"}) << "AutoPopup false";

    menu.SetAutoPopup(true);
    defaultItem.SetEnabled(false);
    Notify(WM_LBUTTONDBLCLK);
    EXPECT_EQ(TakeLog(), Log{"DblClick"}) << "a disabled item cannot be chosen";

    defaultItem.SetEnabled(true);
    defaultItem.SetDefault(false);
    Notify(WM_LBUTTONDBLCLK);
    EXPECT_EQ(TakeLog(), Log{"DblClick"}) << "no default item";
}

TEST_F(TrayIconTest, RightButtonOpensTheMenuOnButtonDownWithTheOwnerInFront) {
    TPopupMenu menu;
    AddItems(menu, {"Visit", "Exit"});
    tray->SetPopupMenu(&menu);
    MenuDriver driver(MenuDriver::Close());
    driver.whileOpen = [&] { log.push_back("menu open"); };

    Notify(WM_RBUTTONDOWN);
    EXPECT_TRUE(driver.opened);
    EXPECT_EQ(driver.shownMenu, menu.Handle());
    EXPECT_EQ(driver.foreground, owner.hwnd());
    EXPECT_EQ(menu.PopupComponent(), tray.get());
    EXPECT_EQ(TakeLog(), (Log{"MouseDown right", "menu open"}));
    EXPECT_EQ(lastShift, TShiftState() + ssRight);
    MSG posted;
    EXPECT_TRUE(::PeekMessageA(&posted, owner.hwnd(), 0, 0, PM_REMOVE));
    EXPECT_EQ(posted.message, static_cast<UINT>(WM_NULL)) << "the owner's loop is woken after";

    Notify(WM_RBUTTONUP);
    EXPECT_EQ(TakeLog(), Log{"MouseUp right"});
    EXPECT_EQ(lastShift, TShiftState() + ssRight);
}

TEST_F(TrayIconTest, ChoosingAnItemInTheOpenMenuRunsItsHandler) {
    TPopupMenu menu;
    AddItems(menu, {"Visit", "My profile"});
    menu.AddSeparator();
    AddItems(menu, {"Settings", "Exit"});
    menu.Items(1).SetEnabled(false);
    tray->SetPopupMenu(&menu);
    // Home: "Visit"; Down: the disabled "My profile"; Down: over the separator to "Settings".
    MenuDriver driver(MenuDriver::Choose(2));

    Notify(WM_RBUTTONDOWN);
    EXPECT_TRUE(driver.opened);
    EXPECT_EQ(TakeLog(), (Log{"MouseDown right", "item Settings"}));
}

TEST_F(TrayIconTest, WithLeftPopupTheLeftButtonOpensTheMenuAfterMarkingTheClick) {
    TPopupMenu menu;
    AddItems(menu, {"Visit", "Exit"});
    tray->SetPopupMenu(&menu);
    tray->SetLeftPopup(true);
    MenuDriver driver(MenuDriver::Close());
    bool pendingWhileOpen = false;
    driver.whileOpen = [&] { pendingWhileOpen = tray->ClickPending(); };

    Notify(WM_LBUTTONDOWN);
    EXPECT_TRUE(driver.opened);
    EXPECT_TRUE(pendingWhileOpen);
    Notify(WM_LBUTTONUP);
    EXPECT_EQ(TakeLog(), (Log{"MouseDown left", "Click", "MouseUp left"}));
}

TEST_F(TrayIconTest, NoMenuOpensFromTheMiddleButtonOrForAMenuWithoutAutoPopup) {
    TPopupMenu menu;
    AddItems(menu, {"Visit", "Exit"});
    tray->SetPopupMenu(&menu);
    tray->SetLeftPopup(true);
    MenuDriver driver(MenuDriver::Close());

    Notify(WM_MBUTTONDOWN);
    Notify(WM_MBUTTONUP);
    EXPECT_FALSE(driver.opened);

    menu.SetAutoPopup(false);
    Notify(WM_RBUTTONDOWN);
    Notify(WM_LBUTTONDOWN);
    EXPECT_FALSE(driver.opened);
    EXPECT_EQ(TakeLog(),
              (Log{"MouseDown middle", "MouseUp middle", "MouseDown right", "MouseDown left"}));
}

TEST_F(TrayIconTest, DisabledIgnoresEveryNotification) {
    TPopupMenu menu;
    AddItems(menu, {"Get another"});
    menu.Items(0).SetDefault(true);
    tray->SetPopupMenu(&menu);
    tray->SetEnabled(false);
    MenuDriver driver(MenuDriver::Close());

    for (UINT message = WM_MOUSEMOVE; message <= WM_MBUTTONDBLCLK; ++message) {
        Notify(message);
    }
    tray->SetLeftPopup(true);
    Notify(WM_LBUTTONDOWN);
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(driver.opened);
    EXPECT_FALSE(tray->ClickPending());
}

TEST_F(TrayIconTest, RightAndMiddleDoubleClicksAndOtherMessagesRaiseNothing) {
    for (const UINT message : {WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK, WM_MOUSEWHEEL, WM_KEYDOWN}) {
        Notify(message);
    }
    EXPECT_TRUE(log.empty());
}

TEST_F(TrayIconTest, EachAnimationStepLoadsAnImageRaisesCycleThenUpdates) {
    const auto pictures = TrayPictures();
    tray->SetIconList(pictures.get());
    tray->SetCycleIcons(true);

    Tick();
    Tick();
    Tick();
    EXPECT_EQ(TakeLog(), (Log{"Cycle 0", "update refused", "Cycle 1", "update refused", "Cycle 0",
                              "update refused"}));
    EXPECT_EQ(cycleColors,
              (std::vector<COLORREF>{kSignedInColor, kSignedOutColor, kSignedInColor}));
    EXPECT_EQ(tray->CycleIndex(), 1);
    EXPECT_EQ(tray->TrayData().hIcon, tray->Icon().Handle());

    tray->SetCycleIcons(false);
    EXPECT_EQ(tray->CycleIndex(), 1) << "stopping keeps the place";
    tray->SetCycleIcons(true);
    EXPECT_EQ(tray->CycleIndex(), 0) << "starting again begins with the first image";
}

TEST_F(TrayIconTest, WithoutAnImageListAnAnimationStepDoesNothing) {
    tray->SetCycleIcons(true);
    Tick();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(tray->CycleIndex(), 0);
    EXPECT_TRUE(tray->Icon().Empty());
}

TEST_F(TrayIconTest, TheTimerRunsOnlyWhileCyclingWithAnInterval) {
    const auto pictures = TrayPictures();
    tray->SetIconList(pictures.get());
    tray->SetIconVisible(true);
    TakeLog();
    // KillTimer reports whether there was a timer to stop.
    tray->SetCycleIcons(true);
    EXPECT_FALSE(::KillTimer(tray->Handle(), kTrayCycleTimer)) << "interval 0";

    tray->SetCycleInterval(10);
    EXPECT_EQ(tray->CycleInterval(), 10u);
    ASSERT_TRUE(PumpUntil([&] { return cycleColors.size() >= 3; }));
    tray->SetCycleIcons(false);
    EXPECT_FALSE(::KillTimer(tray->Handle(), kTrayCycleTimer)) << "CycleIcons false";
    const Log expected = {"Cycle 0", "update", "Cycle 1", "update", "Cycle 0", "update"};
    EXPECT_EQ(Log(log.begin(), log.begin() + 6), expected);
}

TEST_F(TrayIconTest, DestroyedMenuAndImageListAreLetGo) {
    auto menu = std::make_unique<TPopupMenu>();
    AddItems(*menu, {"Get another"});
    menu->Items(0).SetDefault(true);
    auto pictures = TrayPictures();
    tray->SetPopupMenu(menu.get());
    tray->SetIconList(pictures.get());
    tray->SetCycleIcons(true);

    menu.reset();
    pictures.reset();
    EXPECT_EQ(tray->PopupMenu(), nullptr);
    EXPECT_EQ(tray->IconList(), nullptr);
    Notify(WM_RBUTTONDOWN);
    Notify(WM_LBUTTONDBLCLK);
    Tick();
    EXPECT_EQ(TakeLog(), (Log{"MouseDown right", "DblClick"}));
}

TEST_F(TrayIconTest, AReplacedMenuOrImageListNoLongerClearsTheReference) {
    TPopupMenu current;
    TImageList currentList(16, 16);
    {
        TPopupMenu old;
        TImageList oldList(16, 16);
        tray->SetPopupMenu(&old);
        tray->SetIconList(&oldList);
        tray->SetPopupMenu(&current);
        tray->SetIconList(&currentList);
    }
    EXPECT_EQ(tray->PopupMenu(), &current);
    EXPECT_EQ(tray->IconList(), &currentList);
}

// Whether the shell still had the icon of the window when the window was being destroyed; the
// shell forgets the icons of destroyed windows by itself soon after.
HWND windowToWatch = nullptr;
int shellKnewIconAtDestroy = -1;

LRESULT CALLBACK CheckShellAtDestroy(int code, WPARAM wParam, LPARAM lParam) {
    const auto& sent = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent.hwnd == windowToWatch && sent.message == WM_DESTROY) {
        shellKnewIconAtDestroy = ShellKnowsIcon(sent.hwnd) ? 1 : 0;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(TrayIconTest, DestroyingTheTrayRemovesTheIconAndClearsTheMenusPopupComponent) {
    TPopupMenu menu;
    AddItems(menu, {"Exit"});
    tray->SetPopupMenu(&menu);
    tray->SetIconVisible(true);
    {
        MenuDriver driver(MenuDriver::Close());
        Notify(WM_RBUTTONDOWN);
    }
    ASSERT_EQ(menu.PopupComponent(), tray.get());
    windowToWatch = tray->Handle();
    ASSERT_TRUE(ShellKnowsIcon(windowToWatch));

    HHOOK hook =
        ::SetWindowsHookExA(WH_CALLWNDPROC, &CheckShellAtDestroy, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    tray.reset();
    ::UnhookWindowsHookEx(hook);
    EXPECT_EQ(shellKnewIconAtDestroy, 0) << "the icon leaves the tray before its window goes";
    EXPECT_FALSE(::IsWindow(windowToWatch));
    EXPECT_EQ(menu.PopupComponent(), nullptr);
}

TEST(TrayIconPopupMenu, ItemsAreTheMenusItemsWithTheirStateAndDefault) {
    TPopupMenu menu;
    int runs = 0;
    menu.Add("Visit MURLOX home...", [&] { ++runs; });
    menu.AddSeparator();
    TMenuItem& another = menu.Add("Get another MURLO...", [&] { ++runs; });
    TMenuItem& exit = menu.Add("&Exit", [&] { ++runs; });
    ASSERT_EQ(menu.Count(), 4u);
    EXPECT_EQ(::GetMenuItemCount(menu.Handle()), 4);
    char caption[64] = "";
    ::GetMenuStringA(menu.Handle(), 3, caption, sizeof caption, MF_BYPOSITION);
    EXPECT_STREQ(caption, "&Exit");
    EXPECT_TRUE(menu.Items(1).IsSeparator());
    EXPECT_TRUE(::GetMenuState(menu.Handle(), 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_TRUE(menu.AutoPopup());

    another.SetEnabled(false);
    EXPECT_TRUE(::GetMenuState(menu.Handle(), 2, MF_BYPOSITION) & MF_GRAYED);
    another.Click();
    EXPECT_EQ(runs, 0) << "a disabled item cannot be chosen";
    another.SetEnabled(true);
    EXPECT_FALSE(::GetMenuState(menu.Handle(), 2, MF_BYPOSITION) & MF_GRAYED);
    another.Click();
    EXPECT_EQ(runs, 1);

    // The bold default item is the one a double click on the tray icon runs: the top-most marked.
    EXPECT_EQ(::GetMenuDefaultItem(menu.Handle(), TRUE, 0), static_cast<UINT>(-1));
    exit.SetDefault(true);
    another.SetDefault(true);
    EXPECT_EQ(menu.DefaultItem(), &another);
    EXPECT_EQ(::GetMenuDefaultItem(menu.Handle(), TRUE, 0), 2u);
    another.SetDefault(false);
    EXPECT_EQ(menu.DefaultItem(), &exit);
    EXPECT_EQ(::GetMenuDefaultItem(menu.Handle(), TRUE, 0), 3u);
    exit.SetDefault(false);
    EXPECT_EQ(menu.DefaultItem(), nullptr);
    EXPECT_EQ(::GetMenuDefaultItem(menu.Handle(), TRUE, 0), static_cast<UINT>(-1));
}

TEST(TrayIconImageList, KeepsMaskedBitmapsAndRefusesMissingImages) {
    TImageList list(16, 16);
    EXPECT_TRUE(
        AddMaskedBitmapFile(list, 16, 16, SourceFile("resources/tray_signed_in.bmp"), kMaskColor));
    EXPECT_TRUE(
        AddMaskedBitmapFile(list, 16, 16, SourceFile("resources/tray_signed_out.bmp"), kMaskColor));
    EXPECT_FALSE(
        AddMaskedBitmapFile(list, 16, 16, SourceFile("resources/no_such_picture.bmp"), kMaskColor));
    EXPECT_FALSE(list.Add(UniqueIcon())) << "an image that could not be loaded";
    ASSERT_EQ(list.Count(), 2);

    TIcon icon;
    ASSERT_TRUE(list.GetIcon(0, icon));
    EXPECT_EQ(IconCentre(icon.Handle()), kSignedInColor);
    // The magenta corners let the background through.
    EXPECT_EQ(IconPixel(icon.Handle(), 0, 0, RGB(255, 255, 255)), RGB(255, 255, 255));
    EXPECT_EQ(IconPixel(icon.Handle(), 15, 15, RGB(0, 0, 0)), RGB(0, 0, 0));
    ASSERT_TRUE(list.GetIcon(1, icon));
    EXPECT_EQ(IconCentre(icon.Handle()), kSignedOutColor);

    EXPECT_FALSE(list.GetIcon(2, icon));
    EXPECT_TRUE(icon.Empty()) << "an image that is not there empties the icon";
}

TEST(TrayIconImageList, IconAssignCopiesTheImage) {
    const auto pictures = TrayPictures();
    TIcon original;
    ASSERT_TRUE(pictures->GetIcon(0, original));
    TIcon copy;
    copy.Assign(original);
    EXPECT_NE(copy.Handle(), original.Handle());
    original.Reset(UniqueIcon());
    EXPECT_EQ(IconCentre(copy.Handle()), kSignedInColor);
    copy.Assign(original);
    EXPECT_TRUE(copy.Empty());
}

}  // namespace
