// The settings window, through its real controls, keys and the message pump.

#include <windows.h>
#include <gtest/gtest.h>

#include <oleacc.h>

#include <string>
#include <vector>

#include "settings/registry_key.h"
#include "settings/settings_record.h"
#include "support/accessible_controls.h"
#include "support/forms_test_fixture.h"
#include "support/unwritable_registry.h"
#include "ui/win_handles.h"
#include "windows/proxy_entry.h"
#include "windows/settings_window.h"

namespace {

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
    // Every control writes in the form's dark shadow, the edits and the type list too.
    const UniqueDc dc(::CreateCompatibleDC(nullptr));
    COMBOBOXINFO combo = {};
    combo.cbSize = sizeof(combo);
    ASSERT_TRUE(::GetComboBoxInfo(form.ProxyType().hwnd(), &combo));
    // Whom each asks: the edits and the closed list their page, the open list its combo box.
    const struct {
        HWND asking;
        HWND asked;
        UINT question;
    } written[] = {{form.ProxyServer().hwnd(), nullptr, WM_CTLCOLOREDIT},
                   {form.ProxyPort().hwnd(), nullptr, WM_CTLCOLOREDIT},
                   {form.ProxyPassword().hwnd(), nullptr, WM_CTLCOLOREDIT},
                   {form.ProxyRealm().hwnd(), nullptr, WM_CTLCOLOREDIT},
                   {form.ProxyType().hwnd(), nullptr, WM_CTLCOLORLISTBOX},
                   {combo.hwndList, form.ProxyType().hwnd(), WM_CTLCOLORLISTBOX}};
    for (const auto& [asking, asked, question] : written) {
        ::SetTextColor(dc.get(), RGB(1, 2, 3));
        ::SendMessageA(asked ? asked : ::GetParent(asking), question,
                       reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(asking));
        EXPECT_EQ(::GetTextColor(dc.get()), ::GetSysColor(COLOR_3DDKSHADOW)) << question;
    }

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
                   MAKEWPARAM(::GetDlgCtrlID(form.ProxyType().hwnd()), CBN_SELCHANGE),
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
    EXPECT_FALSE(Key().HasValue("passwordsealed"));
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
    // Enter on Cancel is Cancel.
    form.Show();
    Click(form.ProxyUse());
    form.CancelButton().SetFocus();
    Press(VK_RETURN);
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

// Through the system's keyboard input, as a user without a mouse goes.
TEST_F(FormsTest, ThePagesAreATabStopAndCtrlTabSwitchesThemBothWays) {
    TfrmSettings& form = *frmSettings;
    form.Show();
    ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == form.hwnd(); }, 2000));
    EXPECT_TRUE(::GetWindowLongA(form.Tabs().hwnd(), GWL_STYLE) & WS_TABSTOP);
    ASSERT_EQ(form.Tabs().ActivePageIndex(), 1);
    form.ProxyUse().SetFocus();
    Chord({VK_CONTROL, VK_TAB});
    EXPECT_TRUE(PumpUntil([&] { return form.Tabs().ActivePageIndex() == 0; }, 2000));
    // The focus left the page that went out of sight, for the tabs.
    EXPECT_EQ(::GetFocus(), form.Tabs().hwnd());
    Chord({VK_CONTROL, VK_SHIFT, VK_TAB});
    EXPECT_TRUE(PumpUntil([&] { return form.Tabs().ActivePageIndex() == 1; }, 2000));
}

TEST_F(FormsTest, AScreenReaderFindsThePagesAndNamesEveryEditByItsLabel) {
    frmSettings->Show();
    const std::vector<AccessibleControl> common = {{ROLE_SYSTEM_PAGETABLIST, "Settings pages"},
                                                   {ROLE_SYSTEM_PUSHBUTTON, "OK"},
                                                   {ROLE_SYSTEM_PUSHBUTTON, "Cancel"}};
    std::vector<AccessibleControl> proxy = common;
    proxy.insert(
        proxy.end(),
        {{ROLE_SYSTEM_PROPERTYPAGE, "Proxy settings"},
         {ROLE_SYSTEM_STATICTEXT, "Your internet connection is detected automatically."},
         {ROLE_SYSTEM_STATICTEXT, "Only change these settings if you have trouble connecting"},
         {ROLE_SYSTEM_CHECKBUTTON, "Use a proxy server"},
         {ROLE_SYSTEM_COMBOBOX, "Proxy type"},
         {ROLE_SYSTEM_STATICTEXT, "server:"},
         {ROLE_SYSTEM_TEXT, "server"},
         {ROLE_SYSTEM_STATICTEXT, "port:"},
         {ROLE_SYSTEM_TEXT, "port"},
         {ROLE_SYSTEM_STATICTEXT, "user id:"},
         {ROLE_SYSTEM_TEXT, "user id"},
         {ROLE_SYSTEM_STATICTEXT, "password:"},
         {ROLE_SYSTEM_TEXT, "password"},
         {ROLE_SYSTEM_STATICTEXT, "realm:"},
         {ROLE_SYSTEM_TEXT, "realm"}});
    EXPECT_EQ(AccessibleControlsOf(frmSettings->hwnd()), Sorted(proxy));

    frmSettings->Tabs().SetActivePageIndex(0);
    std::vector<AccessibleControl> preferences = common;
    preferences.insert(preferences.end(),
                       {{ROLE_SYSTEM_PROPERTYPAGE, "Preferences"},
                        {ROLE_SYSTEM_STATICTEXT, "Update your preferences"},
                        {ROLE_SYSTEM_CHECKBUTTON, "Start MURLOX when my computer starts."},
                        {ROLE_SYSTEM_CHECKBUTTON,
                         "Remember my e-mail and password and sign in "
                         "automatically when MURLOX starts."}});
    EXPECT_EQ(AccessibleControlsOf(frmSettings->hwnd()), Sorted(preferences));
}

}  // namespace
