// The connection-failure window, through its real controls.

#include <windows.h>
#include <gtest/gtest.h>

#include <oleacc.h>

#include <string>
#include <vector>

#include "signin/connection_failure_window.h"
#include "signin/sign_in.h"
#include "support/accessible_controls.h"
#include "support/forms_test_fixture.h"
#include "windows/settings_window.h"

namespace {

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

TEST_F(FormsTest, AScreenReaderReadsTheFailureAndFindsTheProxyLinkAndTheButton) {
    frmPopop->Show();
    EXPECT_EQ(AccessibleControlsOf(frmPopop->hwnd()),
              Sorted({{ROLE_SYSTEM_STATICTEXT,
                       "Please make sure you are connected to the Internet and try again. If you "
                       "are behind a firewall or if the problem persists please check your "},
                      {ROLE_SYSTEM_LINK, "proxy settings"},
                      {ROLE_SYSTEM_STATICTEXT, "or contact your system administrator."},
                      {ROLE_SYSTEM_PUSHBUTTON, "OK"}}));
}

}  // namespace
