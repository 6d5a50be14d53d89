// The windows the user types into, through their real controls, keys and the message pump.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/forms.h"
#include "app/main_window.h"
#include "components/color_button.h"
#include "settings/keep_dates.h"
#include "settings/registry_key.h"
#include "settings/settings_record.h"
#include "settings/settings_store.h"
#include "signin/connection_failure_window.h"
#include "signin/sign_in.h"
#include "signin/sign_in_entry.h"
#include "signin/sign_in_window.h"
#include "support/unwritable_registry.h"
#include "support/wine_test_fixture.h"
#include "windows/keep_window.h"
#include "windows/proxy_entry.h"
#include "windows/settings_window.h"

namespace {

class FormsTest : public ClientTest {
  protected:
    static RegistryKey Key() { return RegistryKey(kSettingsKeyPath, KEY_READ | KEY_WRITE); }

    // A key pressed and released on the focused control, through the client's message pump.
    static void Press(WORD key) {
        const HWND focused = ::GetFocus();
        ::PostMessageA(focused, WM_KEYDOWN, key, 1);
        ::PostMessageA(focused, WM_KEYUP, key, 0xC0000001);
        PumpUntil([] { return false; }, 60);
    }
    static void Click(const NativeControl& button) {
        ::SendMessageA(button.hwnd(), BM_CLICK, 0, 0);
    }
    // The control's rectangle in its parent: left, top, width, height.
    static std::vector<long> Place(const RECT& r) {
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    static SIZE ClientSize(const Window& window) {
        RECT client;
        ::GetClientRect(window.hwnd(), &client);
        return {client.right, client.bottom};
    }
};

// A client that signs in by itself never opens these windows, and then holds none of their
// controls; the first showing makes them and fills them from the settings.
TEST_F(FormsTest, TheControlsAreMadeAtTheFirstShowing) {
    recSETTINGS.proxyport = 8080;
    recSETTINGS.keepdayscount = 3;
    DialogForm* const forms[] = {frmRegisterLogin, frmWPSetTime, frmSettings, frmPopop};
    for (DialogForm* form : forms) {
        EXPECT_EQ(::GetWindow(form->hwnd(), GW_CHILD), nullptr) << form->hwnd();
    }
    frmSettings->Show();
    frmWPSetTime->Show();
    for (DialogForm* form : {forms[1], forms[2]}) {
        EXPECT_NE(::GetWindow(form->hwnd(), GW_CHILD), nullptr) << form->hwnd();
    }
    EXPECT_EQ(frmSettings->ProxyPort().Text(), "8080");
    EXPECT_EQ(frmWPSetTime->Days().ItemIndex(), 2);
    EXPECT_EQ(::GetWindow(frmRegisterLogin->hwnd(), GW_CHILD), nullptr);
}

TEST_F(FormsTest, TheSignInWindowStoresTheEntryChecksItAndSignsIn) {
    SignedIn = false;
    settingsabsent = true;
    recSETTINGS.autostart = false;
    recSETTINGS.autologin = false;
    TfrmRegisterLogin& form = *frmRegisterLogin;
    EXPECT_EQ(ClientSize(form).cx, 279);
    EXPECT_EQ(ClientSize(form).cy, 252);
    EXPECT_TRUE(::GetWindowLongA(form.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(Place(form.Username().Bounds()), (std::vector<long>{8, 90, 177, 21}));
    EXPECT_EQ(Place(form.Password().Bounds()), (std::vector<long>{8, 130, 177, 21}));
    EXPECT_EQ(Place(form.AutoSignin().Bounds()), (std::vector<long>{8, 180, 265, 33}));
    EXPECT_EQ(form.StartWithWindows().Bounds().top, 156);

    // A first run checks both boxes at every showing, whatever was chosen before.
    form.Show();
    EXPECT_TRUE(form.StartWithWindows().Checked());
    EXPECT_TRUE(form.AutoSignin().Checked());
    EXPECT_EQ(form.Password().Text(), "");
    Click(form.AutoSignin());
    form.Hide();
    form.Show();
    EXPECT_TRUE(form.AutoSignin().Checked());

    // Tab walks the fields in their order.
    PumpUntil([&] { return form.Username().HasFocus(); }, 2000);
    ASSERT_TRUE(form.Username().HasFocus());
    const NativeControl* order[] = {&form.Password(), &form.StartWithWindows(), &form.AutoSignin(),
                                    &form.Username()};
    for (const NativeControl* next : order) {
        Press(VK_TAB);
        EXPECT_TRUE(next->HasFocus());
    }

    // Refused entries: the message, the window stays, the choices are already stored.
    Click(form.StartWithWindows());
    form.Username().SetText("  user@nodot \t");
    form.Password().SetText("   ");
    form.imgGoClick();
    form.Username().SetText(" demo@murlox.test ");
    form.imgGoClick();
    EXPECT_EQ(messages, (std::vector<std::string>{kInvalidEmailMessage, kMissingPasswordMessage}));
    EXPECT_EQ(form.Username().Text(), "demo@murlox.test");
    EXPECT_EQ(recSETTINGS.nickname, "demo@murlox.test");
    EXPECT_EQ(recSETTINGS.password, "");
    EXPECT_FALSE(recSETTINGS.autostart);
    EXPECT_TRUE(recSETTINGS.autologin);
    EXPECT_TRUE(form.IsVisible());
    EXPECT_EQ(service().RequestCount(), 0);

    // Enter in the password field signs in.
    form.Password().SetText("demo");
    form.Password().SetFocus();
    Press(VK_RETURN);
    EXPECT_FALSE(form.IsVisible());
    EXPECT_EQ(form.ModalResult(), kModalClosedByProgram);
    ASSERT_TRUE(PumpUntil([] { return SignedIn; }));
    EXPECT_EQ(Requests("/actions/login.php?un=demo@murlox.test&pw=demo"), 1);
}

TEST_F(FormsTest, WithoutAutomaticSignInThePasswordFieldOpensEmptyAndTheCloseBoxStartsNothing) {
    SignedIn = false;
    settingsabsent = false;
    recSETTINGS.autologin = false;
    recSETTINGS.autostart = true;
    TfrmRegisterLogin& form = *frmRegisterLogin;
    form.Show();
    EXPECT_EQ(form.Username().Text(), "demo@murlox.test");
    EXPECT_EQ(form.Password().Text(), "");
    EXPECT_TRUE(form.StartWithWindows().Checked());
    EXPECT_FALSE(form.AutoSignin().Checked());
    ::SendMessageA(form.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(form.IsVisible());
    EXPECT_EQ(form.ModalResult(), kModalClosedByProgram);
    EXPECT_FALSE(SignInBusy);
    EXPECT_EQ(service().RequestCount(), 0);
}

TEST_F(FormsTest, TheFailureWindowRestoresThePicturesOrLeadsToTheProxyPage) {
    TfrmPopop& form = *frmPopop;
    EXPECT_EQ(ClientSize(form).cx, 420);
    EXPECT_EQ(ClientSize(form).cy, 85);
    EXPECT_EQ(::GetWindowLongA(form.hwnd(), GWL_STYLE) & WS_SYSMENU, 0);
    EXPECT_EQ(Place(form.OkButton().Bounds()), (std::vector<long>{170, 56, 80, 25}));

    // A failure while it is up only brings it to the front; OK puts the pictures back.
    ShowConnectionFailure();
    EXPECT_EQ(modalWindows, (std::vector<std::string>{"TfrmPopop"}));
    form.Show();
    ShowConnectionFailure();
    EXPECT_EQ(modalWindows.size(), 1u);
    EXPECT_EQ(::GetActiveWindow(), form.hwnd());
    Click(form.OkButton());
    EXPECT_FALSE(form.IsVisible());
    EXPECT_EQ(form.ModalResult(), kModalDone);

    // The link opens the settings on the proxy page, even when they were left on the other.
    frmSettings->Tabs().SetActivePageIndex(0);
    form.Show();
    form.Label2Click();
    EXPECT_FALSE(form.IsVisible());
    EXPECT_EQ(form.ModalResult(), kModalDone);
    EXPECT_TRUE(frmSettings->IsVisible());
    EXPECT_EQ(frmSettings->Tabs().ActivePageIndex(), 1);
}

TEST_F(FormsTest, TheSettingsWindowChecksTheProxyAndStoresOnlyOnOk) {
    TfrmSettings& form = *frmSettings;
    EXPECT_EQ(ClientSize(form).cx, 432);
    EXPECT_EQ(ClientSize(form).cy, 381);
    EXPECT_EQ(Place(form.Tabs().Bounds()), (std::vector<long>{8, 8, 409, 321}));
    EXPECT_EQ(Place(form.OkButton().Bounds()), (std::vector<long>{248, 344, 81, 25}));
    EXPECT_EQ(Place(form.CancelButton().Bounds()), (std::vector<long>{336, 344, 81, 25}));
    EXPECT_EQ(Place(form.ProxyPassword().Bounds()), (std::vector<long>{200, 183, 113, 19}));
    EXPECT_EQ(form.OkButton().Color(), RGB(255, 255, 255));

    recSETTINGS.autologin = false;
    recSETTINGS.proxyuse = false;
    recSETTINGS.proxytype = "gopher";
    recSETTINGS.proxyrealm = "office";
    form.Show();
    EXPECT_EQ(form.ProxyType().ItemIndex(), 0);
    EXPECT_EQ(form.ProxyPort().Text(), "0");
    EXPECT_FALSE(form.ProxyServer().IsEnabled());
    Click(form.ProxyUse());
    EXPECT_TRUE(form.ProxyServer().IsEnabled());
    EXPECT_TRUE(form.ProxyRealm().IsEnabled());

    // Refused ports and hosts: their message, the proxy page, nothing stored.
    form.Tabs().SetActivePageIndex(0);
    const struct {
        const char* host;
        const char* port;
    } refused[] = {{"proxy", "0"}, {"proxy", "abc"}, {"proxy", ""}, {" ", "8080"}};
    for (const auto& entry : refused) {
        form.ProxyServer().SetText(entry.host);
        form.ProxyPort().SetText(entry.port);
        Click(form.OkButton());
    }
    EXPECT_EQ(messages, (std::vector<std::string>{kInvalidPortMessage, kInvalidPortMessage,
                                                  kInvalidPortMessage, kMissingProxyHostMessage}));
    EXPECT_EQ(form.Tabs().ActivePageIndex(), 1);
    EXPECT_TRUE(form.IsVisible());
    EXPECT_FALSE(recSETTINGS.proxyuse);
    EXPECT_EQ(recSETTINGS.password, "demo");
    EXPECT_FALSE(Key().HasValue("proxyuse"));

    // SOCKS has no realm; OK stores everything and no password without automatic sign-in.
    form.ProxyType().SetItemIndex(2);
    ::SendMessageA(::GetParent(form.ProxyType().hwnd()), WM_COMMAND,
                   MAKEWPARAM(form.ProxyType().Id(), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(form.ProxyType().hwnd()));
    EXPECT_FALSE(form.ProxyRealm().IsEnabled());
    EXPECT_EQ(form.ProxyRealm().Text(), "");
    form.ProxyServer().SetText(" 127.0.0.1 ");
    form.ProxyPort().SetText(" -1 ");
    Click(form.OkButton());
    EXPECT_FALSE(form.IsVisible());
    EXPECT_EQ(Key().ReadString("proxyuse"), "1");
    EXPECT_EQ(Key().ReadString("proxytype"), "socks5");
    EXPECT_EQ(Key().ReadString("proxyhost"), "127.0.0.1");
    EXPECT_EQ(Key().ReadString("proxyport"), "-1");
    EXPECT_EQ(Key().ReadString("proxyrealm"), "");
    EXPECT_EQ(Key().ReadString("password"), "");
    EXPECT_EQ(recSETTINGS.password, "demo");
    EXPECT_FALSE(form.RealmLabel().IsEnabled());

    // Esc and Cancel store nothing; the next showing reloads the record.
    form.Show();
    Click(form.ProxyUse());
    form.ProxyPort().SetFocus();
    Press(VK_ESCAPE);
    EXPECT_FALSE(form.IsVisible());
    form.Show();
    EXPECT_TRUE(form.ProxyUse().Checked());
    Click(form.CancelButton());
    EXPECT_FALSE(form.IsVisible());
    EXPECT_EQ(Key().ReadString("proxyuse"), "1");

    // A failing save names what it could not write, keeps the window open and the password in
    // memory.
    form.Show();
    {
        const UnwritableCurrentUser unwritable;
        Click(form.OkButton());
    }
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_NE(messages.back().find("MURLOX\\Settings"), std::string::npos) << messages.back();
    EXPECT_TRUE(form.IsVisible());
    EXPECT_EQ(recSETTINGS.password, "demo");
}

TEST_F(FormsTest, TheKeepWindowSelectsTheStoredCountAndKeepsTheChosenDays) {
    TfrmWPSetTime& form = *frmWPSetTime;
    EXPECT_EQ(ClientSize(form).cx, 211);
    EXPECT_EQ(ClientSize(form).cy, 101);
    EXPECT_EQ(form.Days().Bounds().left, 125);
    EXPECT_EQ(form.Days().Count(), 7);

    recSETTINGS.keepdayscount = 0;
    form.Show();
    EXPECT_EQ(form.Days().ItemIndex(), 0);
    form.Days().SetItemIndex(2);
    form.imgSetClick();
    EXPECT_FALSE(form.IsVisible());
    EXPECT_EQ(Key().ReadString("keepdayscount"), "3");
    EXPECT_EQ(Key().ReadString("keepdaysenabled"), "1");
    double setDate = 0;
    Key().ReadBinary("keepdayssetdate", &setDate, sizeof(setDate));
    EXPECT_GT(setDate, ToOleDate({2020, 1, 1, 0, 0, 0, 0}));
    form.Show();
    EXPECT_EQ(form.Days().ItemIndex(), 2);  // the choice stays while no count was loaded
    form.Hide();

    recSETTINGS.keepdayscount = 7;
    form.Show();
    EXPECT_EQ(form.Days().ItemIndex(), 6);
    form.Hide();

    // A count from outside the program that no entry shows keeps nothing.
    recSETTINGS.keepdayscount = 9;
    Key().DeleteValue("keepdayscount");
    form.Show();
    EXPECT_EQ(form.Days().ItemIndex(), -1);
    form.imgSetClick();
    EXPECT_FALSE(Key().HasValue("keepdayscount"));
}

TEST_F(FormsTest, TheColourButtonRepaintsOnlyOnChangesAndCountsADoubleClickTwice) {
    TButtonWithColor& button = frmSettings->OkButton();
    frmSettings->Show();
    ::UpdateWindow(button.hwnd());
    button.SetColor(RGB(255, 255, 255));
    EXPECT_FALSE(::GetUpdateRect(button.hwnd(), nullptr, FALSE));
    button.SetColor(RGB(250, 250, 250));
    EXPECT_TRUE(::GetUpdateRect(button.hwnd(), nullptr, FALSE));
    button.SetMargin(-2);
    EXPECT_EQ(button.Margin(), -1);
    button.SetMargin(3);
    EXPECT_EQ(button.Margin(), 3);

    int clicks = 0;
    button.OnClick = [&] { ++clicks; };
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
        ::SendMessageA(button.hwnd(), message, MK_LBUTTON, MAKELPARAM(5, 5));
    }
    EXPECT_EQ(clicks, 2);

    // The focused button is drawn active; it stops being so when the focus goes elsewhere.
    button.SetFocus();
    EXPECT_TRUE(button.ShowsActive());
    frmSettings->CancelButton().SetFocus();
    EXPECT_FALSE(button.ShowsActive());
    EXPECT_TRUE(frmSettings->CancelButton().ShowsActive());
    frmSettings->Hide();
}

}  // namespace
