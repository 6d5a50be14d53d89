#pragma once
// Loading and storing the settings record in the per-user registry.

inline constexpr const char* kSettingsKeyPath = "SOFTWARE\\MURLOX\\Settings";
inline constexpr const char* kRunKeyPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunValueName = "MURLOX";

// Fills recSETTINGS and settingsabsent. Never fails towards its caller: values that cannot be
// read fall back to their defaults, and an unexpected failure leaves the rest as it was.
void LoadSettings();

// Stores the persistent fields and the autostart entry; the passwords go sealed for the Windows
// user (sealed_text.h), their plain values empty. Throws RegistryError naming the value at the
// first write (or seal) that fails; the values written before it stay written.
void SaveSettings();
