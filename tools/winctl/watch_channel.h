// What winctl.exe and winctl_hook.dll agree on for "winctl watch".
//
// winctl publishes which thread and message it watches in a table inside a named file mapping, one
// mapping per watched process, so that the hook procedures (running inside that process) find it
// without any argument of their own. Every matching message travels back as WM_COPYDATA to the
// message-only window of the winctl that asked for it. Both mechanisms cross processes on Windows
// and under Wine alike.
#pragma once

#include <windows.h>

#include <cstdio>

namespace winctl {

// Several winctl processes may watch threads of the same process at the same time.
constexpr int kWatchSlotCount = 16;

enum WatchSlotState : LONG { kSlotFree = 0, kSlotClaimed = 1, kSlotActive = 2 };

// Window handles and numbers are stored as 32-bit values: they are the same in every process.
struct WatchSlot {
    volatile LONG state;  // WatchSlotState; the hook reads a slot only while it is kSlotActive
    DWORD threadId;       // thread whose messages are watched
    DWORD message;        // message number that is reported
    DWORD sinkWindow;     // winctl's message-only window that receives the reports
};

struct WatchTable {
    WatchSlot slots[kWatchSlotCount];
};

// How a message reached the watched thread.
enum Delivery : DWORD { kDeliverySent = 1, kDeliveryPosted = 2 };

// COPYDATASTRUCT::dwData of a report, so that stray WM_COPYDATA messages are told apart.
constexpr ULONG_PTR kWatchReportTag = 0x574E4354;  // "WNCT"

struct WatchReport {
    DWORD message;
    DWORD window;
    DWORD wParam;
    DWORD lParam;
    DWORD delivery;      // Delivery
    char atomName[256];  // text of the global atom in wParam; empty when wParam is not one
};

inline void FormatWatchTableName(DWORD processId, char (&name)[64]) {
    std::snprintf(name, sizeof name, "winctl-watch-%lu", static_cast<unsigned long>(processId));
}

}  // namespace winctl
