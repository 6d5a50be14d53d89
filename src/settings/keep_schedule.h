#pragma once
// The keep schedule: the user keeps the current wallpaper for some days, which suspends the
// hourly refresh. Three values in the settings key, read and written here only.

#include <string>

// Starts a schedule of the given number of days ("1" to "7"), or clears it with "0". Throws
// RegistryError naming the value whose write failed.
void SetKeepDays(const std::string& days);

// Whether the wallpaper may be refreshed now: no schedule runs, or it has run out (which is then
// written). Values changed outside the program so that they cannot be read count as no schedule.
bool KeepScheduleAllowsRefresh();
