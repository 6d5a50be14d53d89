// Loading and saving the settings against the real per-user registry.

#include "settings/settings_store.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <wincrypt.h>

#include <vector>

#include "settings/registry_key.h"
#include "settings/sealed_text.h"
#include "settings/settings_record.h"
#include "support/unwritable_registry.h"
#include "ui/win_handles.h"
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

    // The raw bytes of every value of the settings key.
    static std::vector<std::string> EveryValueBytes() {
        std::vector<std::string> values;
        HKEY key = nullptr;
        EXPECT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &key),
                  ERROR_SUCCESS);
        LSTATUS status = ERROR_SUCCESS;
        for (DWORD index = 0; status == ERROR_SUCCESS; ++index) {
            char name[256];
            DWORD nameSize = sizeof(name);
            BYTE data[4096];
            DWORD dataSize = sizeof(data);
            status =
                ::RegEnumValueA(key, index, name, &nameSize, nullptr, nullptr, data, &dataSize);
            if (status == ERROR_SUCCESS) {
                values.emplace_back(reinterpret_cast<const char*>(data), dataSize);
            }
        }
        EXPECT_EQ(status, ERROR_NO_MORE_ITEMS) << "a value too large to search";
        ::RegCloseKey(key);
        return values;
    }

    // Whether the text shows in any value of the settings key, in ANSI or in UTF-16.
    static bool StoredAnywhere(const std::string& text) {
        std::wstring wide(text.size(), L'\0');
        wide.resize(::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                          wide.data(), static_cast<int>(wide.size())));
        const std::string utf16(reinterpret_cast<const char*>(wide.data()),
                                wide.size() * sizeof(wchar_t));
        for (const std::string& bytes : EveryValueBytes()) {
            if (bytes.find(text) != std::string::npos || bytes.find(utf16) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
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
    const std::string sealed = SealText("pp").value();
    Store("proxypasswordsealed", REG_BINARY, sealed.data(), static_cast<DWORD>(sealed.size()));
    LoadSettings();
    EXPECT_EQ(recSETTINGS.proxypassword, "");
    SaveSettings();
    EXPECT_EQ(Read(kSettingsKeyPath, "proxytype").bytes, Sz(""));
    EXPECT_EQ(Read(kSettingsKeyPath, "proxyhost").bytes, Sz(""));
    EXPECT_EQ(Read(kSettingsKeyPath, "proxyport").bytes, Sz("0"));
    EXPECT_EQ(Read(kSettingsKeyPath, "proxypasswordsealed").type, static_cast<DWORD>(REG_NONE));
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
    EXPECT_EQ(Read(kSettingsKeyPath, "password").bytes, Sz(""));
    EXPECT_EQ(Read(kSettingsKeyPath, "passwordsealed").type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(Read(kSettingsKeyPath, "proxypassword").bytes, Sz(""));
    EXPECT_EQ(Read(kSettingsKeyPath, "proxypasswordsealed").type, static_cast<DWORD>(REG_BINARY));
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

TEST_F(SettingsStoreTest, PasswordsAreStoredSealedAndOpenAgain) {
    const struct {
        const char* password;
        const char* proxypassword;
    } cases[] = {{"Tr0ub4dor&3", "proxy-s3cret"},
                 {"p<&\xe9 \xfc\xdf with blanks", "\xe9t\xe9"},
                 {"x9Zq", "a much longer proxy pass phrase than anyone types by hand, 0123456789"}};
    for (const auto& c : cases) {
        SetUp();
        SettingsRecord& s = recSETTINGS;
        s.nickname = "ann@example.com";
        s.autologin = true;
        s.password = c.password;
        s.proxyuse = true;
        s.proxytype = "http";
        s.proxyhost = "proxy.example";
        s.proxyusername = "pu";
        s.proxypassword = c.proxypassword;
        SaveSettings();

        EXPECT_FALSE(StoredAnywhere(c.password)) << c.password;
        EXPECT_FALSE(StoredAnywhere(c.proxypassword)) << c.proxypassword;
        EXPECT_EQ(Read(kSettingsKeyPath, "password").bytes, Sz("")) << c.password;
        EXPECT_EQ(Read(kSettingsKeyPath, "proxypassword").bytes, Sz("")) << c.password;

        recSETTINGS = SettingsRecord{};
        LoadSettings();
        EXPECT_EQ(recSETTINGS.password, c.password);
        EXPECT_EQ(recSETTINGS.proxypassword, c.proxypassword);
        EXPECT_EQ(recSETTINGS.proxyhost, "proxy.example");
    }
}

TEST_F(SettingsStoreTest, PlainPasswordsOfAnOlderVersionAreReadAndSealedByTheNextSave) {
    StoreText("nickname", "ann@example.com");
    StoreDword("autologin", 1);
    StoreText("password", "older-plain-password");
    StoreText("proxyuse", "1");
    StoreText("proxyhost", "h");
    StoreText("proxypassword", "older-plain-proxy");
    LoadSettings();
    EXPECT_EQ(recSETTINGS.password, "older-plain-password");
    EXPECT_EQ(recSETTINGS.proxypassword, "older-plain-proxy");

    SaveSettings();
    EXPECT_FALSE(StoredAnywhere("older-plain-password"));
    EXPECT_FALSE(StoredAnywhere("older-plain-proxy"));
    EXPECT_EQ(Read(kSettingsKeyPath, "password").bytes, Sz(""));
    EXPECT_EQ(Read(kSettingsKeyPath, "passwordsealed").type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(Read(kSettingsKeyPath, "proxypassword").bytes, Sz(""));
    EXPECT_EQ(Read(kSettingsKeyPath, "proxypasswordsealed").type, static_cast<DWORD>(REG_BINARY));
    recSETTINGS = SettingsRecord{};
    LoadSettings();
    EXPECT_EQ(recSETTINGS.password, "older-plain-password");
    EXPECT_EQ(recSETTINGS.proxypassword, "older-plain-proxy");

    // An older version run after this one writes its password in plain text beside the sealed
    // one it does not know: the plain one is the newer.
    StoreText("password", "newer-plain-password");
    LoadSettings();
    EXPECT_EQ(recSETTINGS.password, "newer-plain-password");
}

// The bytes of the text sealed for this user without the client's entropy, as another program
// would seal it.
std::string SealedWithoutOurEntropy(const std::string& text) {
    DATA_BLOB in{static_cast<DWORD>(text.size()),
                 reinterpret_cast<BYTE*>(const_cast<char*>(text.data()))};
    DATA_BLOB out{};
    EXPECT_TRUE(::CryptProtectData(&in, nullptr, nullptr, nullptr, nullptr,
                                   CRYPTPROTECT_UI_FORBIDDEN, &out));
    const UniqueLocalMemory owned(out.pbData);
    return std::string(reinterpret_cast<const char*>(out.pbData), out.cbData);
}

TEST_F(SettingsStoreTest, ASealedValueThatDoesNotOpenIsNoPasswordAndTheRestLoads) {
    std::string damaged = SealText("demo").value();
    damaged.back() ^= 0x5a;  // in the blob's signature
    std::string random(178, '\0');
    for (size_t i = 0; i < random.size(); ++i) {
        random[i] = static_cast<char>((i * 7919 + 13) % 251);
    }
    const std::string sealedText = SealText("demo").value();
    const struct {
        const char* what;
        DWORD type;
        std::string bytes;
    } cases[] = {{"random bytes", REG_BINARY, random},
                 {"damaged", REG_BINARY, damaged},
                 {"another program's", REG_BINARY, SealedWithoutOurEntropy("demo")},
                 {"empty", REG_BINARY, ""},
                 {"of another type", REG_SZ, sealedText},
                 {"a number", REG_DWORD, std::string("\x01\0\0\0", 4)},
                 {"larger than any seal", REG_BINARY, sealedText + std::string(64 * 1024, 'x')}};
    for (const auto& c : cases) {
        SetUp();
        StoreText("nickname", "ann@example.com");
        StoreDword("autologin", 1);
        Store("passwordsealed", c.type, c.bytes.data(), static_cast<DWORD>(c.bytes.size()));
        StoreText("mainleft", "120");
        StoreText("curdesktopid", "1004");
        StoreText("proxyuse", "1");
        StoreText("proxyhost", "proxy.example");
        Store("proxypasswordsealed", c.type, c.bytes.data(), static_cast<DWORD>(c.bytes.size()));
        StoreText("proxyrealm", "realm");
        recSETTINGS.password = "before";
        recSETTINGS.proxypassword = "before";
        LoadSettings();

        const SettingsRecord& s = recSETTINGS;
        EXPECT_EQ(s.password, "") << c.what;
        EXPECT_EQ(s.proxypassword, "") << c.what;
        EXPECT_EQ(s.nickname, "ann@example.com") << c.what;
        EXPECT_TRUE(s.autologin) << c.what;
        EXPECT_FALSE(settingsabsent) << c.what;
        EXPECT_EQ(s.mainleft, 120) << c.what;
        EXPECT_EQ(s.curdesktopid, "1004") << c.what;
        EXPECT_EQ(s.proxyhost, "proxy.example") << c.what;
        EXPECT_EQ(s.proxyrealm, "realm") << c.what;
    }
}

TEST_F(SettingsStoreTest, AnEmptyPasswordLeavesNoSealedValue) {
    recSETTINGS.password = "demo";
    recSETTINGS.proxypassword = "pp";
    SaveSettings();
    ASSERT_EQ(Read(kSettingsKeyPath, "passwordsealed").type, static_cast<DWORD>(REG_BINARY));
    ASSERT_EQ(Read(kSettingsKeyPath, "proxypasswordsealed").type, static_cast<DWORD>(REG_BINARY));

    recSETTINGS.password.clear();
    recSETTINGS.proxypassword.clear();
    SaveSettings();
    EXPECT_EQ(Read(kSettingsKeyPath, "passwordsealed").type, static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(Read(kSettingsKeyPath, "proxypasswordsealed").type, static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(Read(kSettingsKeyPath, "password").bytes, Sz(""));
    EXPECT_EQ(Read(kSettingsKeyPath, "proxypassword").bytes, Sz(""));
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
