#pragma once
// What the process holds of the system's objects, to show that something gives back everything
// it took.
//
// Windows has the counts at hand (GetGuiResources, GetProcessHandleCount); Wine answers 0 to
// both. So the process's own objects are also counted where Wine keeps them: every entry of its
// GDI handle table (GetObjectType of a handle that names only the entry), the windows of this
// process, the menus and the icons and cursors among the USER handles (IsWindow, IsMenu,
// GetIconInfo on each handle value), and every kernel handle value that GetHandleInformation
// accepts.

#include <windows.h>

#include <iosfwd>

struct ProcessObjects {
    int gdi = 0;
    int windows = 0;
    int menus = 0;
    int icons = 0;
    int kernel = 0;
    DWORD platformGdi = 0;
    DWORD platformUser = 0;
    DWORD platformHandles = 0;

    int User() const { return windows + menus + icons; }
};

ProcessObjects CountProcessObjects();

bool operator==(const ProcessObjects& a, const ProcessObjects& b);
std::ostream& operator<<(std::ostream& out, const ProcessObjects& objects);
