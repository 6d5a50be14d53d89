// What winctl.exe and winctl_hook.dll agree on for "winctl menu" and "winctl menu-choose".
//
// Under Wine a menu handle means nothing outside the process that made it: GetMenuItemCount and
// its kind fail for the menu of another process. So the items of an open popup menu are read
// inside its process: winctl hooks the thread of the menu's window (class "#32768") with
// ReportMenuItems and sends the window the message registered as kMenuQueryMessageName, with
// winctl's report window in wParam. The hook procedure takes the window's menu (MN_GETHMENU),
// reads its items there and sends them back as one WM_COPYDATA.
#pragma once

#include <windows.h>

namespace winctl {

constexpr char kMenuQueryMessageName[] = "winctl-menu-query";

// COPYDATASTRUCT::dwData of a menu report.
constexpr ULONG_PTR kMenuReportTag = 0x574E4D4E;  // "WNMN"

// Items beyond this many are not reported.
constexpr int kMenuItemLimit = 64;

struct MenuItemReport {
    DWORD type;         // MENUITEMINFO fType: MFT_SEPARATOR, ...
    DWORD state;        // MENUITEMINFO fState: MFS_DISABLED, MFS_DEFAULT, MFS_HILITE, ...
    char caption[256];  // as the menu holds it, "&" marks included; empty for a separator
};

struct MenuReport {
    DWORD count;
    MenuItemReport items[kMenuItemLimit];
};

}  // namespace winctl
