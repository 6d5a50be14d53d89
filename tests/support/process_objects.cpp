#include "support/process_objects.h"

#include <ostream>

ProcessObjects CountProcessObjects() {
    ProcessObjects counts;
    const HANDLE self = ::GetCurrentProcess();
    counts.platformGdi = ::GetGuiResources(self, GR_GDIOBJECTS);
    counts.platformUser = ::GetGuiResources(self, GR_USEROBJECTS);
    ::GetProcessHandleCount(self, &counts.platformHandles);
    // A GDI handle whose upper half is 0 names the table entry alone.
    for (ULONG_PTR entry = 1; entry < 0x10000; ++entry) {
        counts.gdi += ::GetObjectType(reinterpret_cast<HGDIOBJ>(entry)) != 0;
    }
    // USER handle values are even from 0x20 on; the upper half, a generation, may be 0.
    const DWORD process = ::GetCurrentProcessId();
    for (ULONG_PTR value = 0x20; value < 0x10000; value += 2) {
        const HANDLE handle = reinterpret_cast<HANDLE>(value);
        if (::IsWindow(static_cast<HWND>(handle))) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(static_cast<HWND>(handle), &owner);
            counts.windows += owner == process;
        } else if (::IsMenu(static_cast<HMENU>(handle))) {
            ++counts.menus;
        } else {
            ICONINFO info;
            if (::GetIconInfo(static_cast<HICON>(handle), &info)) {
                ++counts.icons;
                ::DeleteObject(info.hbmMask);
                if (info.hbmColor) {
                    ::DeleteObject(info.hbmColor);
                }
            }
        }
    }
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        counts.kernel += ::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) != 0;
    }
    return counts;
}

bool operator==(const ProcessObjects& a, const ProcessObjects& b) {
    return a.gdi == b.gdi && a.windows == b.windows && a.menus == b.menus && a.icons == b.icons &&
           a.kernel == b.kernel && a.platformGdi == b.platformGdi &&
           a.platformUser == b.platformUser && a.platformHandles == b.platformHandles;
}

std::ostream& operator<<(std::ostream& out, const ProcessObjects& objects) {
    return out << "{GDI " << objects.gdi << " (Windows: " << objects.platformGdi << "), windows "
               << objects.windows << ", menus " << objects.menus << ", icons " << objects.icons
               << " (USER on Windows: " << objects.platformUser << "), kernel handles "
               << objects.kernel << " (Windows: " << objects.platformHandles << ")}";
}
