// The keep-this window, through its real controls.

#include <windows.h>
#include <gtest/gtest.h>

#include <oleacc.h>

#include "settings/keep_dates.h"
#include "settings/registry_key.h"
#include "settings/settings_record.h"
#include "support/accessible_controls.h"
#include "support/forms_test_fixture.h"
#include "windows/keep_window.h"

namespace {

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

TEST_F(FormsTest, AScreenReaderFindsTheDaysListAndTheSetButton) {
    frmWPSetTime->Show();
    EXPECT_EQ(AccessibleControlsOf(frmWPSetTime->hwnd()),
              Sorted({{ROLE_SYSTEM_STATICTEXT, "Keep this murlo for"},
                      {ROLE_SYSTEM_COMBOBOX, "Keep this murlo for (days)"},
                      {ROLE_SYSTEM_STATICTEXT, "days."},
                      {ROLE_SYSTEM_PUSHBUTTON, "Set"}}));
}

}  // namespace
