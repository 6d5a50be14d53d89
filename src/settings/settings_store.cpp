#include "settings/settings_store.h"

#include "settings/registry_key.h"
#include "settings/sealed_text.h"
#include "settings/settings_record.h"
#include "settings/text_convert.h"
#include "ui/win_paths.h"

namespace {

// Far above the seal of any password a user types (170 bytes for 31 characters), and small enough
// that a value planted in the user's registry cannot make the start read megabytes.
constexpr DWORD kMostSealedBytes = 64 * 1024;

// A password as stored: sealed for the Windows user, or in plain text where an older version wrote
// it (which it does only after this version, so a plain one is the newer). A sealed value that
// does not open (another user's, damaged, of another type) is no password.
std::string ReadPassword(const RegistryKey& key, const char* plainName, const char* sealedName) {
    std::string plain = key.ReadString(plainName);
    if (!plain.empty() || !key.HasValue(sealedName)) {
        return plain;
    }
    try {
        return OpenSealedText(key.ReadBytes(sealedName, kMostSealedBytes)).value_or(std::string());
    } catch (const RegistryError&) {
        return {};
    }
}

// The plain value is written empty, so that an older version finds no password and asks for it.
// No password is no sealed value: nothing to open at the next start, and no seal made for it.
void WritePassword(RegistryKey& key, const char* plainName, const char* sealedName,
                   const std::string& password) {
    key.WriteString(plainName, "");
    if (password.empty()) {
        key.DeleteValue(sealedName);
        return;
    }
    const std::optional<std::string> sealed = SealText(password);
    if (!sealed) {
        throw RegistryError(
            sealedName, std::string("Could not seal the registry value \"") + sealedName + "\"");
    }
    key.WriteBinary(sealedName, sealed->data(), static_cast<DWORD>(sealed->size()));
}

// The steps in this order matter: a failure outside the guarded steps abandons the rest, so
// fields read before it keep their loaded values and those after it their defaults.
void LoadFromSettingsKey(SettingsRecord& s) {
    const RegistryKey key(kSettingsKeyPath, KEY_READ);
    s.nickname = key.ReadString("nickname");
    s.password = ReadPassword(key, "password", "passwordsealed");
    try {
        s.autologin = key.ReadDword("autologin") != 0;
    } catch (const RegistryError&) {
        s.autologin = false;
        settingsabsent = true;
    }
    try {
        s.mainleft = SafeStrToInt(key.ReadString("mainleft"));
        s.maintop = SafeStrToInt(key.ReadString("maintop"));
    } catch (const RegistryError&) {
    }
    try {
        if (SafeStrToInt(key.ReadString("keepdaysenabled")) > 0) {
            s.keepdaysoff = false;
            s.keepdayscount = SafeStrToInt(key.ReadString("keepdayscount"));
        } else {
            s.keepdaysoff = true;
        }
    } catch (const RegistryError&) {
    }
    try {
        s.curdesktopid = key.ReadString("curdesktopid");
    } catch (const RegistryError&) {
        s.curdesktopid = "0";
    }
    s.proxytype.clear();
    s.proxyhost.clear();
    s.proxyusername.clear();
    s.proxypassword.clear();
    s.proxyport = 0;
    s.proxyuse = false;
    if (SafeStrToInt(key.ReadString("proxyuse")) != 0) {
        s.proxyuse = true;
        s.proxytype = key.ReadString("proxytype");
        s.proxyhost = key.ReadString("proxyhost");
        s.proxyport = SafeStrToInt(key.ReadString("proxyport"));
        s.proxyusername = key.ReadString("proxyusername");
        s.proxypassword = ReadPassword(key, "proxypassword", "proxypasswordsealed");
        s.proxyrealm = key.ReadString("proxyrealm");
    }
}

bool RunValueExists() {
    try {
        return RegistryKey(kRunKeyPath, KEY_READ).HasValue(kRunValueName);
    } catch (const RegistryError&) {
        return false;
    }
}

}  // namespace

void LoadSettings() {
    SettingsRecord& s = recSETTINGS;
    s.curdesktopid = "0";
    s.programfolder = ProgramFolder();
    try {
        LoadFromSettingsKey(s);
        s.autostart = RunValueExists();
    } catch (const RegistryError&) {
        // Unreadable settings must never keep the client from starting.
    }
}

void SaveSettings() {
    const SettingsRecord& s = recSETTINGS;
    {
        RegistryKey key(kSettingsKeyPath, KEY_WRITE);
        key.WriteString("maintop", std::to_string(s.maintop));
        key.WriteString("mainleft", std::to_string(s.mainleft));
        key.WriteDword("autologin", s.autologin ? 1 : 0);
        key.WriteString("curdesktopid", s.curdesktopid);
        key.WriteString("nickname", s.nickname);
        WritePassword(key, "password", "passwordsealed", s.password);
        key.WriteString("proxyuse", s.proxyuse ? "1" : "0");
        key.WriteString("proxytype", s.proxytype);
        key.WriteString("proxyhost", s.proxyhost);
        key.WriteString("proxyport", std::to_string(s.proxyport));
        key.WriteString("proxyusername", s.proxyusername);
        WritePassword(key, "proxypassword", "proxypasswordsealed", s.proxypassword);
        key.WriteString("proxyrealm", s.proxyrealm);
    }
    RegistryKey run(kRunKeyPath, KEY_WRITE);
    if (s.autostart) {
        run.WriteString(kRunValueName, ProgramPath() + " -boot");
    } else {
        run.DeleteValue(kRunValueName);
    }
}
