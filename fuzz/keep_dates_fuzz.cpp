// The keep schedule's date arithmetic on any 8 bytes a registry value may hold, and on any local
// time the platform gives.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz_check.h"
#include "settings/keep_dates.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 20) {
        return 0;
    }
    double setDate = 0;
    double now = 0;
    int32_t keptDays = 0;
    std::memcpy(&setDate, data, 8);
    std::memcpy(&now, data + 8, 8);
    std::memcpy(&keptDays, data + 16, 4);
    if (IsOleDate(setDate) && IsOleDate(now)) {
        const int64_t elapsed = ElapsedWholeDays(setDate, now);
        FUZZ_CHECK(elapsed >= 0 && elapsed == ElapsedWholeDays(now, setDate));
        FUZZ_CHECK(elapsed < 3700000);  // more days than the years 100 to 9999 hold
        FUZZ_CHECK(KeepScheduleRanOut(keptDays, setDate, now) == (keptDays < elapsed));
    }
    // Any local time of the platform, whose years run from 1601 to 30827, is a date to count with
    // up to the year 9999.
    const LocalDateTime time{1601 + data[0] % 8399, 1 + data[1] % 12, 1 + data[2] % 28,
                             data[3] % 24,          data[4] % 60,     data[5] % 60,
                             (data[6] << 2) % 1000};
    const double date = ToOleDate(time);
    FUZZ_CHECK(IsOleDate(date));
    FUZZ_CHECK(ElapsedWholeDays(date, date + 1.0) == 1);
    return 0;
}
