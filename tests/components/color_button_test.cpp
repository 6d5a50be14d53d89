// The colour button, through real mouse messages and painting.

#include <windows.h>
#include <gtest/gtest.h>

#include "components/color_button.h"
#include "support/forms_test_fixture.h"
#include "windows/settings_window.h"

namespace {

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
