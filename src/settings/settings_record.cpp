#include "settings/settings_record.h"

SettingsRecord recSETTINGS;
bool settingsabsent = false;
