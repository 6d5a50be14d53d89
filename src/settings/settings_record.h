#pragma once
// The one settings record of the client. Every part of the program reads and writes its fields
// directly; LoadSettings fills it once at start and SaveSettings stores the persistent fields.

#include <cstdint>
#include <string>

struct SettingsRecord {
    std::string loginid;        // text after "[OK]" of the last sign-in; memory only
    std::string curdesktopid;   // id of the wallpaper on the desktop; empty or "0" means none
    std::string programfolder;  // folder of the program file, ending in a backslash
    std::string password;
    std::string proxyhost;
    std::string proxytype;  // "http", "socks4" or "socks5"
    std::string proxypassword;
    std::string proxyrealm;  // stored and edited only
    std::string proxyusername;
    std::string nickname;    // the account's e-mail address
    std::string updatelink;  // link of the last "UPDATE" news item; memory only
    std::string sessionid;   // web session id; memory only
    bool autologin = false;
    bool autostart = false;
    bool proxyuse = false;
    bool bootstart = false;    // started with "-boot"; memory only
    bool keepdaysoff = false;  // true when no keep schedule runs
    int32_t mainleft = 0;
    int32_t maintop = 0;
    int32_t keepdayscount = 0;  // days of the keep schedule as loaded at start
    int32_t proxyport = 0;
};

extern SettingsRecord recSETTINGS;

// Set by LoadSettings when "autologin" could not be read, which is the case on the first run.
extern bool settingsabsent;
