#include "settings/keep_dates.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr int64_t kMillisecondsPerDay = 86400000;

// Days from 1 January 1970 to the civil date (proleptic Gregorian calendar).
int64_t DaysFromCivil(int64_t year, int month, int day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// 30 December 1899, day 0 of OLE dates, counted from 1970.
const int64_t kOleEpoch = DaysFromCivil(1899, 12, 30);
// 1 January 100 and the day after 31 December 9999, the platform's first and last dates.
const double kFirstOleDate = static_cast<double>(DaysFromCivil(100, 1, 1) - kOleEpoch);
const double kEndOfOleDates = static_cast<double>(DaysFromCivil(10000, 1, 1) - kOleEpoch);

int64_t ToMilliseconds(double oleDate) {
    return std::llround(oleDate * kMillisecondsPerDay);
}

}  // namespace

double ToOleDate(const LocalDateTime& t) {
    const int64_t days = DaysFromCivil(t.year, t.month, t.day) - kOleEpoch;
    const int64_t msOfDay =
        ((static_cast<int64_t>(t.hour) * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond;
    return static_cast<double>(days) + static_cast<double>(msOfDay) / kMillisecondsPerDay;
}

bool IsOleDate(double date) {
    // Written so that not-a-number fails both comparisons.
    return date >= kFirstOleDate && date < kEndOfOleDates;
}

int64_t ElapsedWholeDays(double from, double to) {
    return std::llabs(ToMilliseconds(to) - ToMilliseconds(from)) / kMillisecondsPerDay;
}

bool KeepScheduleRanOut(int32_t keptDays, double setDate, double now) {
    return keptDays < ElapsedWholeDays(setDate, now);
}
