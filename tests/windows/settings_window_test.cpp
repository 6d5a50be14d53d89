// The settings window, through its real controls, keys and the message pump.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "settings/keep_dates.h"
#include "settings/registry_key.h"
#include "settings/settings_record.h"
#include "settings/settings_store.h"
#include "support/unwritable_registry.h"
#include "windows/proxy_entry.h"
#include "windows/settings_window.h"
#include "support/forms_test_fixture.h"

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

}  // namespace
