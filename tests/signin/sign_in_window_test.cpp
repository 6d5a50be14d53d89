// The sign-in window, through its real controls, keys and the message pump.

#include <windows.h>
#include <gtest/gtest.h>

#include <oleacc.h>

#include <string>
#include <vector>

#include "settings/settings_record.h"
#include "signin/sign_in.h"
#include "signin/sign_in_entry.h"
#include "signin/sign_in_window.h"
#include "support/accessible_controls.h"
#include "support/forms_test_fixture.h"

namespace {

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

    // Tab walks the fields, the go button and the links in their order, round the end.
    PumpUntil([&] { return ::GetFocus() == form.Username().hwnd(); }, 2000);
    ASSERT_EQ(::GetFocus(), form.Username().hwnd());
    const Window* order[] = {&form.Password(),   &form.GoButton(), &form.StartWithWindows(),
                             &form.AutoSignin(), &form.HelpLink(), &form.RegisterLink(),
                             &form.Username()};
    for (const Window* next : order) {
        Press(VK_TAB);
        EXPECT_EQ(::GetFocus(), next->hwnd());
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

TEST_F(FormsTest, AScreenReaderFindsEveryControlByWhatItIsAndWhatItIsFor) {
    frmRegisterLogin->Show();
    EXPECT_EQ(AccessibleControlsOf(frmRegisterLogin->hwnd()),
              Sorted({{ROLE_SYSTEM_STATICTEXT, "Sign in with your MURLOX account!"},
                      {ROLE_SYSTEM_STATICTEXT, "If you do not have a MURLOX account yet,"},
                      {ROLE_SYSTEM_LINK, "GET A MURLOX ACCOUNT HERE!"},
                      {ROLE_SYSTEM_STATICTEXT, "e-mail:"},
                      {ROLE_SYSTEM_TEXT, "e-mail"},
                      {ROLE_SYSTEM_STATICTEXT, "password:"},
                      {ROLE_SYSTEM_TEXT, "password"},
                      {ROLE_SYSTEM_PUSHBUTTON, "Sign in"},
                      {ROLE_SYSTEM_CHECKBUTTON, "Start MURLOX when my computer starts."},
                      {ROLE_SYSTEM_CHECKBUTTON,
                       "Remember my e-mail and password and sign in "
                       "automatically when MURLOX starts."},
                      {ROLE_SYSTEM_LINK, "Help"}}));
}

}  // namespace
