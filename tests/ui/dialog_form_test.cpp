// Dialog forms make their controls at their first showing.

#include <windows.h>
#include <gtest/gtest.h>

#include "settings/settings_record.h"
#include "signin/connection_failure_window.h"
#include "signin/sign_in_window.h"
#include "support/forms_test_fixture.h"
#include "windows/keep_window.h"
#include "windows/settings_window.h"

namespace {

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

}  // namespace
