// Loading and saving the settings against the real per-user registry.

#include "settings/settings_store.h"

#include <windows.h>
#include <gtest/gtest.h>

#include "settings/registry_key.h"
#include "settings/settings_record.h"
#include "support/unwritable_registry.h"
#include "ui/win_paths.h"

namespace {

class SettingsStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\MURLOX");
        RegistryKey(kRunKeyPath, KEY_WRITE).DeleteValue(kRunValueName);
        recSETTINGS = SettingsRecord{};
        settingsabsent = false;
    }

    static void Store(const char* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKeyPath, name, type, data, size),
                  ERROR_SUCCESS);
    }
    static void StoreText(const char* name, const std::string& text) {
        Store(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
    static void StoreDword(const char* name, DWORD value) {
        Store(name, REG_DWORD, &value, sizeof(value));
    }

    // The stored type and bytes of a value, or type REG_NONE when it is missing.
    struct Stored {
        DWORD type = REG_NONE;
        std::string bytes;
    };
    static Stored Read(const char* keyPath, const char* name) {
        Stored stored;
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return stored;
        }
        DWORD size = 0;
        if (::RegQueryValueExA(key, name, nullptr, &stored.type, nullptr, &size) == ERROR_SUCCESS) {
            stored.bytes.resize(size);
            ::RegQueryValueExA(key, name, nullptr, &stored.type,
                               reinterpret_cast<BYTE*>(stored.bytes.data()), &size);
        }
        ::RegCloseKey(key);
        return stored;
    }
    static std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }
};

TEST_F(SettingsStoreTest, FirstRunCreatesTheKeyAndGivesTheDefaults) {
    LoadSettings();
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &key),
              ERROR_SUCCESS);
    ::RegCloseKey(key);

    const SettingsRecord& s = recSETTINGS;
    EXPECT_TRUE(settingsabsent);
    EXPECT_FALSE(s.autologin);
    EXPECT_FALSE(s.proxyuse);
    EXPECT_FALSE(s.autostart);
    EXPECT_TRUE(s.keepdaysoff);
    EXPECT_EQ(s.curdesktopid, "");
    EXPECT_EQ(s.mainleft, 0);
    EXPECT_EQ(s.maintop, 0);
    EXPECT_EQ(s.proxyport, 0);
    EXPECT_EQ(s.keepdayscount, 0);
    EXPECT_EQ(s.programfolder, ProgramFolder());
    EXPECT_EQ(s.programfolder.back(), '\\');
    EXPECT_EQ(ProgramPath().rfind(s.programfolder, 0), 0u);
}

TEST_F(SettingsStoreTest, AutologinCountsOnlyAsANumber) {
    StoreText("autologin", "1");
    LoadSettings();
    EXPECT_FALSE(recSETTINGS.autologin);
    EXPECT_TRUE(settingsabsent);

    SetUp();
    StoreDword("autologin", 7);
    LoadSettings();
    EXPECT_TRUE(recSETTINGS.autologin);
    EXPECT_FALSE(settingsabsent);
}

TEST_F(SettingsStoreTest, LoadsEveryStoredValue) {
    StoreText("nickname", "ann@example.com");
    Store("password", REG_EXPAND_SZ, "%PATH%<&", 9);  // read as it stands, never expanded
    StoreDword("autologin", 1);
    StoreText("mainleft", "120");
    StoreText("maintop", "-7");
    StoreText("keepdaysenabled", "1");
    StoreText("keepdayscount", "5");
    StoreText("curdesktopid", "1004");
    StoreText("proxyuse", "1");
    StoreText("proxytype", "socks5");
    StoreText("proxyhost", "proxy.example");
    StoreText("proxyport", "1080");
    StoreText("proxyusername", "pu");
    StoreText("proxypassword", "pp");
    StoreText("proxyrealm", "realm");
    LoadSettings();

    const SettingsRecord& s = recSETTINGS;
    EXPECT_EQ(s.nickname, "ann@example.com");
    EXPECT_EQ(s.password, "%PATH%<&");
    EXPECT_TRUE(s.autologin);
    EXPECT_EQ(s.mainleft, 120);
    EXPECT_EQ(s.maintop, -7);
    EXPECT_FALSE(s.keepdaysoff);
    EXPECT_EQ(s.keepdayscount, 5);
    EXPECT_EQ(s.curdesktopid, "1004");
    EXPECT_TRUE(s.proxyuse);
    EXPECT_EQ(s.proxytype, "socks5");
    EXPECT_EQ(s.proxyhost, "proxy.example");
    EXPECT_EQ(s.proxyport, 1080);
    EXPECT_EQ(s.proxyusername, "pu");
    EXPECT_EQ(s.proxypassword, "pp");
    EXPECT_EQ(s.proxyrealm, "realm");
}

TEST_F(SettingsStoreTest, ProxyPortIsReadThroughTheSafeConversion) {
    StoreText("proxyuse", "1");
    StoreText("proxyport", " 3128 ");
    LoadSettings();
    EXPECT_EQ(recSETTINGS.proxyport, 3128);

    SetUp();
    StoreText("proxyuse", "1");
    StoreText("proxyport", "31a28");
    LoadSettings();
    EXPECT_EQ(recSETTINGS.proxyport, 0);
}

TEST_F(SettingsStoreTest, ProxyUseIsAnyNonZeroNumber) {
    StoreText("proxyuse", "2");
    StoreText("proxyhost", "h");
    LoadSettings();
    EXPECT_TRUE(recSETTINGS.proxyuse);
    EXPECT_EQ(recSETTINGS.proxyhost, "h");

    for (const char* off : {"yes", "", "0"}) {
        SetUp();
        StoreText("proxyuse", off);
        StoreText("proxyhost", "h");
        StoreText("proxyport", "8080");
        LoadSettings();
        EXPECT_FALSE(recSETTINGS.proxyuse) << off;
        EXPECT_EQ(recSETTINGS.proxyhost, "") << off;
        EXPECT_EQ(recSETTINGS.proxyport, 0) << off;
    }
}

TEST_F(SettingsStoreTest, ProxyValuesNotLoadedAreOverwrittenEmptyByTheNextSave) {
    StoreText("proxyuse", "0");
    StoreText("proxytype", "http");
    StoreText("proxyhost", "h");
    StoreText("proxyport", "8080");
    LoadSettings();
    SaveSettings();
    EXPECT_EQ(Read(kSettingsKeyPath, "proxytype").bytes, Sz(""));
    EXPECT_EQ(Read(kSettingsKeyPath, "proxyhost").bytes, Sz(""));
    EXPECT_EQ(Read(kSettingsKeyPath, "proxyport").bytes, Sz("0"));
}

TEST_F(SettingsStoreTest, KeepScheduleRunsOnlyAboveZero) {
    StoreText("keepdaysenabled", "1");
    LoadSettings();
    EXPECT_FALSE(recSETTINGS.keepdaysoff);
    EXPECT_EQ(recSETTINGS.keepdayscount, 0);

    SetUp();
    StoreText("keepdaysenabled", "-1");
    StoreText("keepdayscount", "3");
    LoadSettings();
    EXPECT_TRUE(recSETTINGS.keepdaysoff);
    EXPECT_EQ(recSETTINGS.keepdayscount, 0);
}

TEST_F(SettingsStoreTest, GuardedStepsFallBackAndGoOn) {
    StoreText("mainleft", "20");
    StoreDword("maintop", 40);
    StoreDword("curdesktopid", 5);
    StoreText("proxyuse", "1");
    StoreText("proxyhost", "h");
    LoadSettings();
    EXPECT_EQ(recSETTINGS.mainleft, 20);
    EXPECT_EQ(recSETTINGS.maintop, 0);
    EXPECT_EQ(recSETTINGS.curdesktopid, "0");
    EXPECT_EQ(recSETTINGS.proxyhost, "h");
}

TEST_F(SettingsStoreTest, AnUnexpectedFailureAbandonsTheRestSilently) {
    RegistryKey(kRunKeyPath, KEY_WRITE).WriteString(kRunValueName, "x");
    StoreDword("nickname", 1);
    StoreDword("autologin", 1);
    LoadSettings();
    EXPECT_EQ(recSETTINGS.nickname, "");
    EXPECT_FALSE(recSETTINGS.autologin);
    EXPECT_FALSE(settingsabsent);
    EXPECT_EQ(recSETTINGS.curdesktopid, "0");
    EXPECT_FALSE(recSETTINGS.autostart);
}

TEST_F(SettingsStoreTest, SaveWritesEveryValueWithItsTypeAndEncoding) {
    SettingsRecord& s = recSETTINGS;
    s.maintop = 300;
    s.mainleft = -20;
    s.autologin = true;
    s.curdesktopid = "1007";
    s.nickname = "ann@example.com";
    s.password = "p<&\xe9";
    s.proxyuse = false;
    s.proxytype = "http";
    s.proxyhost = "h";
    s.proxyport = 8080;
    s.proxyusername = "u";
    s.proxypassword = "pw";
    s.proxyrealm = "r";
    s.keepdayscount = 4;  // never stored by the save
    SaveSettings();

    EXPECT_EQ(Read(kSettingsKeyPath, "maintop").type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(Read(kSettingsKeyPath, "maintop").bytes, Sz("300"));
    EXPECT_EQ(Read(kSettingsKeyPath, "mainleft").bytes, Sz("-20"));
    const Stored autologin = Read(kSettingsKeyPath, "autologin");
    EXPECT_EQ(autologin.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(autologin.bytes, std::string("\x01\0\0\0", 4));
    EXPECT_EQ(Read(kSettingsKeyPath, "curdesktopid").bytes, Sz("1007"));
    EXPECT_EQ(Read(kSettingsKeyPath, "nickname").bytes, Sz("ann@example.com"));
    EXPECT_EQ(Read(kSettingsKeyPath, "password").bytes, Sz("p<&\xe9"));
    EXPECT_EQ(Read(kSettingsKeyPath, "proxyuse").bytes, Sz("0"));
    EXPECT_EQ(Read(kSettingsKeyPath, "proxytype").bytes, Sz("http"));
    EXPECT_EQ(Read(kSettingsKeyPath, "proxyport").bytes, Sz("8080"));
    EXPECT_EQ(Read(kSettingsKeyPath, "proxyrealm").bytes, Sz("r"));
    EXPECT_EQ(Read(kSettingsKeyPath, "keepdayscount").type, static_cast<DWORD>(REG_NONE));

    recSETTINGS = SettingsRecord{};
    LoadSettings();
    EXPECT_EQ(recSETTINGS.password, "p<&\xe9");
    EXPECT_EQ(recSETTINGS.mainleft, -20);
    EXPECT_TRUE(recSETTINGS.autologin);
    EXPECT_FALSE(recSETTINGS.proxyuse);
}

TEST_F(SettingsStoreTest, AutostartRewritesARunValuePointingElsewhere) {
    RegistryKey(kRunKeyPath, KEY_WRITE).WriteString(kRunValueName, "C:\\elsewhere\\old.exe");
    LoadSettings();
    EXPECT_TRUE(recSETTINGS.autostart);
    SaveSettings();
    EXPECT_EQ(Read(kRunKeyPath, kRunValueName).bytes, Sz(ProgramPath() + " -boot"));
}

TEST_F(SettingsStoreTest, AutostartOffDeletesTheRunValueAndToleratesItsAbsence) {
    recSETTINGS.autostart = false;
    EXPECT_NO_THROW(SaveSettings());
    EXPECT_EQ(Read(kRunKeyPath, kRunValueName).type, static_cast<DWORD>(REG_NONE));

    RegistryKey(kRunKeyPath, KEY_WRITE).WriteString(kRunValueName, "x");
    SaveSettings();
    EXPECT_EQ(Read(kRunKeyPath, kRunValueName).type, static_cast<DWORD>(REG_NONE));
}

TEST_F(SettingsStoreTest, AFailedWriteNamesItsValue) {
    HKEY readOnly = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, 0, KEY_READ,
                                nullptr, &readOnly, nullptr),
              ERROR_SUCCESS);
    RegistryKey key{UniqueHKey(readOnly)};
    try {
        key.WriteString("proxyrealm", "r");
        FAIL() << "a write through a read-only key succeeded";
    } catch (const RegistryError& error) {
        EXPECT_EQ(error.name(), "proxyrealm");
        EXPECT_NE(std::string(error.what()).find("\"proxyrealm\""), std::string::npos);
    }
}

TEST_F(SettingsStoreTest, ASaveThatCannotOpenTheKeyFailsWithoutSideEffects) {
    recSETTINGS.autostart = true;
    {
        const UnwritableCurrentUser unwritable;
        EXPECT_THROW(SaveSettings(), RegistryError);
    }
    EXPECT_EQ(Read(kRunKeyPath, kRunValueName).type, static_cast<DWORD>(REG_NONE));
}

}  // namespace
