#include "settings/keep_schedule.h"

#include <windows.h>

#include <cstring>

#include "settings/keep_dates.h"
#include "settings/registry_key.h"
#include "settings/settings_record.h"
#include "settings/settings_store.h"
#include "settings/text_convert.h"

namespace {

double Now() {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    return ToOleDate({t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds});
}

double ReadSetDate(const RegistryKey& key) {
    double date = 0;
    key.ReadBinary("keepdayssetdate", &date, sizeof(date));
    if (!IsOleDate(date)) {
        throw RegistryError("keepdayssetdate", "keepdayssetdate holds no date");
    }
    return date;
}

// Whether the refresh may happen now; writes the run-out of a schedule.
bool RefreshAllowed() {
    RegistryKey key(kSettingsKeyPath, KEY_READ | KEY_WRITE);
    try {
        if (SafeStrToInt(key.ReadString("keepdaysenabled")) == 0) {
            recSETTINGS.keepdaysoff = true;
            return true;
        }
        const int32_t keptDays = SafeStrToInt(key.ReadString("keepdayscount"));
        if (!KeepScheduleRanOut(keptDays, ReadSetDate(key), Now())) {
            return false;
        }
        key.WriteString("keepdaysenabled", "0");
        return true;
    } catch (const RegistryError&) {
        // A schedule we cannot read must not hold the wallpaper for ever.
        recSETTINGS.keepdaysoff = true;
        key.WriteString("keepdaysenabled", "0");
        return true;
    }
}

}  // namespace

void SetKeepDays(const std::string& days) {
    RegistryKey key(kSettingsKeyPath, KEY_WRITE);
    key.WriteString("keepdayscount", days);
    key.WriteString("keepdaysenabled", days == "0" ? "0" : "1");
    const double now = Now();
    key.WriteBinary("keepdayssetdate", &now, sizeof(now));
}

bool KeepScheduleAllowsRefresh() {
    try {
        return RefreshAllowed();
    } catch (const RegistryError&) {
        recSETTINGS.keepdaysoff = true;
        return true;
    }
}
