// The keep schedule in the real registry; a refresh shows as a GETONE at the stand-in service.

#include "settings/keep_schedule.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <cmath>

#include "service/wallpaper_request.h"
#include "settings/keep_dates.h"
#include "settings/registry_key.h"
#include "settings/settings_record.h"
#include "settings/settings_store.h"
#include "support/wine_test_fixture.h"

namespace {

double Now() {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    return ToOleDate({t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds});
}

class KeepScheduleTest : public ClientTest {
  protected:
    static RegistryKey Key() { return RegistryKey(kSettingsKeyPath, KEY_READ | KEY_WRITE); }

    static void Schedule(const char* enabled, const char* count, double setDate) {
        RegistryKey key = Key();
        key.WriteString("keepdaysenabled", enabled);
        key.WriteString("keepdayscount", count);
        key.WriteBinary("keepdayssetdate", &setDate, sizeof(setDate));
    }

    static double StoredSetDate() {
        double date = 0;
        Key().ReadBinary("keepdayssetdate", &date, sizeof(date));
        return date;
    }

    // Whether the check asked the service for the current wallpaper.
    bool Refreshed() const {
        return service().RequestCount() > 0 &&
               service().RawRequest(0).find("GETONE") != std::string::npos;
    }
};

constexpr double kMinute = 1.0 / (24 * 60);

TEST_F(KeepScheduleTest, SetKeepDaysStoresTheTextAsItIsAndTheMomentItRan) {
    SetKeepDays("07");
    EXPECT_EQ(Key().ReadString("keepdayscount"), "07");
    EXPECT_EQ(Key().ReadString("keepdaysenabled"), "1");
    EXPECT_LT(std::fabs(StoredSetDate() - Now()), kMinute);

    SetKeepDays("0");
    EXPECT_EQ(Key().ReadString("keepdayscount"), "0");
    EXPECT_EQ(Key().ReadString("keepdaysenabled"), "0");
    EXPECT_LT(std::fabs(StoredSetDate() - Now()), kMinute);
}

TEST_F(KeepScheduleTest, AScheduleKeepsUntilMoreWholeDaysThanKeptHavePassed) {
    Schedule("1", "3", Now() - 3 - 5 * kMinute);
    CheckKeepExpiry();
    EXPECT_FALSE(Refreshed());
    EXPECT_EQ(Key().ReadString("keepdaysenabled"), "1");

    Schedule("1", "3", Now() - 4);
    CheckKeepExpiry();
    EXPECT_TRUE(Refreshed());
    EXPECT_EQ(Key().ReadString("keepdaysenabled"), "0");
}

TEST_F(KeepScheduleTest, ACountWithALeadingZeroReadsAsItsNumber) {
    SetKeepDays("07");
    Schedule("1", "07", Now() - 7 - 5 * kMinute);
    CheckKeepExpiry();
    EXPECT_FALSE(Refreshed());
}

TEST_F(KeepScheduleTest, ASetDateInTheFutureCountsLikeOneInThePast) {
    Schedule("1", "1", Now() + 2 + kMinute);
    CheckKeepExpiry();
    EXPECT_TRUE(Refreshed());
}

TEST_F(KeepScheduleTest, WithoutAScheduleEveryCheckRefreshes) {
    recSETTINGS.keepdaysoff = false;
    CheckKeepExpiry();
    EXPECT_TRUE(Refreshed());
    EXPECT_TRUE(recSETTINGS.keepdaysoff);
}

TEST_F(KeepScheduleTest, MinusOneCountsAsARunningSchedule) {
    Schedule("-1", "2", Now());
    CheckKeepExpiry();
    EXPECT_FALSE(Refreshed());
}

TEST_F(KeepScheduleTest, ASetDateThatIsNoDateCountsAsAValueThatCannotBeRead) {
    // The largest count would keep the wallpaper for ever if such a date counted at all.
    for (const double notADate : {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300, -1e10}) {
        SCOPED_TRACE(notADate);
        service().Reset();
        Schedule("1", "2147483647", notADate);
        recSETTINGS.keepdaysoff = false;
        CheckKeepExpiry();
        EXPECT_TRUE(Refreshed());
        EXPECT_TRUE(recSETTINGS.keepdaysoff);
        EXPECT_EQ(Key().ReadString("keepdaysenabled"), "0");
    }
}

TEST_F(KeepScheduleTest, ValuesThatCannotBeReadCountAsNoSchedule) {
    Schedule("1", "5", Now());
    ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsKeyPath, "keepdayssetdate");
    recSETTINGS.keepdaysoff = false;
    CheckKeepExpiry();
    EXPECT_TRUE(Refreshed());
    EXPECT_TRUE(recSETTINGS.keepdaysoff);
    EXPECT_EQ(Key().ReadString("keepdaysenabled"), "0");
}

}  // namespace
