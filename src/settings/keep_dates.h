#pragma once
// Date arithmetic of the keep schedule, on OLE Automation dates: days since 30 December 1899
// 00:00, the fraction being the time of day.

#include <cstdint>

struct LocalDateTime {
    int year;
    int month;  // 1-12
    int day;    // 1-31
    int hour;
    int minute;
    int second;
    int millisecond;
};

double ToOleDate(const LocalDateTime& time);

// Whether the value is a date that the functions below can count with: finite, and between the
// years 100 and 9999 as every date of the platform is. A hand-edited registry can hold any 8 bytes
// (not a number, infinite, far out of range), and counting with them is not defined.
bool IsOleDate(double date);

// Whole days between the two dates (both IsOleDate), in either order, truncated toward zero.
// Counted on whole milliseconds so that exactly N days apart never rounds down to N - 1.
int64_t ElapsedWholeDays(double from, double to);

// A schedule of keptDays runs out only when more than keptDays whole days have passed.
bool KeepScheduleRanOut(int32_t keptDays, double setDate, double now);
