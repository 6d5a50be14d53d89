#include "settings/settings_store.h"

#include "settings/registry_key.h"
#include "settings/settings_record.h"
#include "settings/text_convert.h"
#include "ui/win_paths.h"

namespace {

// The steps in this order matter: a failure outside the guarded steps abandons the rest, so
// fields read before it keep their loaded values and those after it their defaults.
void LoadFromSettingsKey(SettingsRecord& s) {
    const RegistryKey key(kSettingsKeyPath, KEY_READ);
    s.nickname = key.ReadString("nickname");
    s.password = key.ReadString("password");
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
        s.proxypassword = key.ReadString("proxypassword");
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
        key.WriteString("password", s.password);
        key.WriteString("proxyuse", s.proxyuse ? "1" : "0");
        key.WriteString("proxytype", s.proxytype);
        key.WriteString("proxyhost", s.proxyhost);
        key.WriteString("proxyport", std::to_string(s.proxyport));
        key.WriteString("proxyusername", s.proxyusername);
        key.WriteString("proxypassword", s.proxypassword);
        key.WriteString("proxyrealm", s.proxyrealm);
    }
    RegistryKey run(kRunKeyPath, KEY_WRITE);
    if (s.autostart) {
        run.WriteString(kRunValueName, ProgramPath() + " -boot");
    } else {
        run.DeleteValue(kRunValueName);
    }
}
