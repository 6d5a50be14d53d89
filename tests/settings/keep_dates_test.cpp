#include "settings/keep_dates.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0) {
    return ToOleDate({year, month, day, hour, minute, second, ms});
}

}  // namespace

TEST(ToOleDate, CountsDaysSinceTheEndOf1899WithTheTimeAsFraction) {
    EXPECT_EQ(At(1899, 12, 30), 0.0);
    EXPECT_EQ(At(1900, 1, 1), 2.0);
    EXPECT_EQ(At(2000, 3, 1), 36586.0);  // after a leap day of a century divisible by 400
    EXPECT_EQ(At(2026, 12, 7, 12), 46363.5);
    EXPECT_DOUBLE_EQ(At(2026, 12, 7, 6, 0, 0, 1), 46363.25 + 1.0 / 86400000);
}

TEST(IsOleDate, OnlyFiniteDatesOfTheYears100To9999) {
    EXPECT_TRUE(IsOleDate(0.0));
    EXPECT_TRUE(IsOleDate(At(2026, 12, 7, 10)));
    EXPECT_TRUE(IsOleDate(At(100, 1, 1)));
    EXPECT_TRUE(IsOleDate(At(9999, 12, 31, 23, 59, 59, 999)));
    EXPECT_FALSE(IsOleDate(At(99, 12, 31, 23, 59, 59, 999)));
    EXPECT_FALSE(IsOleDate(At(10000, 1, 1)));
    for (const double bad :
         {std::nan(""), -std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300, -1e300, 1e10, -1e7}) {
        EXPECT_FALSE(IsOleDate(bad)) << bad;
    }
}

TEST(KeepScheduleRanOut, OnlyWhenMoreWholeDaysThanKeptHavePassed) {
    const double set = At(2026, 12, 7, 10, 0, 0, 123);
    EXPECT_FALSE(KeepScheduleRanOut(3, set, At(2026, 12, 10, 10, 5, 0, 123)));  // 3 days 5 min
    EXPECT_TRUE(KeepScheduleRanOut(3, set, At(2026, 12, 11, 10, 0, 0, 123)));   // exactly 4 days
    EXPECT_FALSE(KeepScheduleRanOut(1, set, At(2026, 12, 9, 9, 59, 59, 999)));  // just below 2
    EXPECT_TRUE(KeepScheduleRanOut(1, set, At(2026, 12, 9, 10, 0, 0, 123)));
    EXPECT_FALSE(KeepScheduleRanOut(0, set, set));
}

TEST(KeepScheduleRanOut, CountsASetDateInTheFutureLikeOneInThePast) {
    const double now = At(2026, 12, 7, 10);
    EXPECT_EQ(ElapsedWholeDays(At(2026, 12, 9, 10), now), 2);
    EXPECT_TRUE(KeepScheduleRanOut(1, At(2026, 12, 9, 10), now));
    EXPECT_FALSE(KeepScheduleRanOut(2, At(2026, 12, 9, 10), now));
}

TEST(ElapsedWholeDays, IsExactAcrossManyYearsOfWholeDays) {
    // Whole-day steps must never round down, whatever the time of day.
    for (int day = 1; day <= 28; ++day) {
        const double from = At(1999, 1, day, 23, 59, 59, 999);
        EXPECT_EQ(ElapsedWholeDays(from, At(2026, 1, day, 23, 59, 59, 999)), 9862) << day;
    }
}
