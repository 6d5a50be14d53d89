// winctl_hook.dll: the hook procedures that "winctl watch" and "winctl menu" install on a thread of
// another process. Windows (and Wine) load this DLL into that process and call the procedures on
// the hooked thread before it handles each sent message and when it takes each posted message
// from its queue. They only look: they report to winctl and always pass every message on
// unchanged.
#include "menu_channel.h"
#include "watch_channel.h"

namespace {

using winctl::Delivery;
using winctl::WatchReport;
using winctl::WatchSlot;
using winctl::WatchTable;

// How long the watched thread may wait for winctl to take a report; a winctl that died or hangs
// must not stall the program under test.
constexpr UINT kReportTimeoutMs = 2000;

// One message as a hook procedure sees it.
struct ObservedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    Delivery delivery;

    bool operator==(const ObservedMessage& other) const {
        return window == other.window && message == other.message && wParam == other.wParam &&
               lParam == other.lParam && delivery == other.delivery;
    }
};

// Per thread: the message whose hook chain is being walked. Each watching winctl installs its own
// hooks, all with these procedures, so one message can reach them several times through
// CallNextHookEx; the first call reports it to every watcher, the nested ones only pass it on.
DWORD g_messageInChainTls = TLS_OUT_OF_INDEXES;

// The watch table of this process, mapped on first use and kept until the DLL leaves. The mapping
// handle is kept open as well: under Wine a named mapping loses its name when its last handle
// closes, even while views remain, and a later winctl would then publish into a new table.
void* volatile g_watchTableView = nullptr;
HANDLE g_watchTableMapping = nullptr;

const WatchTable* WatchTableOfThisProcess() {
    if (g_watchTableView) {
        return static_cast<const WatchTable*>(g_watchTableView);
    }
    char name[64];
    winctl::FormatWatchTableName(GetCurrentProcessId(), name);
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, name);
    if (!mapping) {
        return nullptr;
    }
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(WatchTable));
    if (view && InterlockedCompareExchangePointer(&g_watchTableView, view, nullptr) == nullptr) {
        g_watchTableMapping = mapping;
        return static_cast<const WatchTable*>(view);
    }
    // Not mapped, or another thread of this process mapped it first.
    if (view) {
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return static_cast<const WatchTable*>(g_watchTableView);
}

void ReadAtomName(WPARAM value, char (&name)[256]) {
    name[0] = '\0';
    // String atoms are numbered from MAXINTATOM to 0xFFFF; smaller values are plain integers.
    if (value < MAXINTATOM || value > 0xFFFF) {
        return;
    }
    if (GlobalGetAtomNameA(static_cast<ATOM>(value), name, sizeof name) == 0) {
        name[0] = '\0';
    }
}

void SendReport(const WatchSlot& slot, const WatchReport& report) {
    COPYDATASTRUCT data = {winctl::kWatchReportTag, sizeof report,
                           const_cast<WatchReport*>(&report)};
    DWORD_PTR ignored = 0;
    // SMTO_BLOCK: the watched thread must not handle other sent messages while it waits here.
    SendMessageTimeoutA(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(slot.sinkWindow)),
                        WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                        SMTO_BLOCK | SMTO_ABORTIFHUNG, kReportTimeoutMs, &ignored);
}

void ReportToWatchers(const ObservedMessage& observed) {
    const WatchTable* table = WatchTableOfThisProcess();
    if (!table) {
        return;
    }
    const DWORD thread = GetCurrentThreadId();
    WatchReport report = {};
    bool reportFilled = false;
    for (const WatchSlot& slot : table->slots) {
        if (slot.state != winctl::kSlotActive || slot.threadId != thread ||
            slot.message != observed.message) {
            continue;
        }
        if (!reportFilled) {
            report.message = observed.message;
            report.window = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(observed.window));
            report.wParam = static_cast<DWORD>(observed.wParam);
            report.lParam = static_cast<DWORD>(observed.lParam);
            report.delivery = observed.delivery;
            ReadAtomName(observed.wParam, report.atomName);
            reportFilled = true;
        }
        SendReport(slot, report);
    }
}

LRESULT ObserveAndPassOn(const ObservedMessage* observed, int code, WPARAM wParam, LPARAM lParam) {
    // The program under test must find its last-error value as it left it.
    const DWORD lastError = GetLastError();
    const auto* inChain = static_cast<const ObservedMessage*>(TlsGetValue(g_messageInChainTls));
    const bool firstInChain = observed && !(inChain && *inChain == *observed);
    if (firstInChain) {
        TlsSetValue(g_messageInChainTls, const_cast<ObservedMessage*>(observed));
        ReportToWatchers(*observed);
    }
    SetLastError(lastError);
    const LRESULT result = CallNextHookEx(nullptr, code, wParam, lParam);
    if (firstInChain) {
        TlsSetValue(g_messageInChainTls, const_cast<ObservedMessage*>(inChain));
    }
    return result;
}

}  // namespace

// WH_CALLWNDPROC: a message sent to a window of the thread, before its window procedure runs.
extern "C" __declspec(dllexport) LRESULT CALLBACK
    WatchSentMessage(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HC_ACTION) {
        return ObserveAndPassOn(nullptr, code, wParam, lParam);
    }
    const auto& sent = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    const ObservedMessage observed = {sent.hwnd, sent.message, sent.wParam, sent.lParam,
                                      winctl::kDeliverySent};
    return ObserveAndPassOn(&observed, code, wParam, lParam);
}

// WH_GETMESSAGE: a message posted to the thread, as GetMessage or PeekMessage takes it. A peek
// that leaves the message in the queue is not counted, so each posted message is seen once.
extern "C" __declspec(dllexport) LRESULT CALLBACK
    WatchPostedMessage(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HC_ACTION || (wParam & PM_REMOVE) == 0) {
        return ObserveAndPassOn(nullptr, code, wParam, lParam);
    }
    const auto& posted = *reinterpret_cast<const MSG*>(lParam);
    const ObservedMessage observed = {posted.hwnd, posted.message, posted.wParam, posted.lParam,
                                      winctl::kDeliveryPosted};
    return ObserveAndPassOn(&observed, code, wParam, lParam);
}

namespace {

// The items of the popup menu that the menu window shows, read in this process where the menu
// handle is valid, sent to winctl's report window.
void ReportMenu(HWND menuWindow, HWND reportWindow) {
    winctl::MenuReport report = {};
    const auto menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int index = 0; index < count && index < winctl::kMenuItemLimit; ++index) {
        winctl::MenuItemReport& item = report.items[report.count++];
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = item.caption;
        info.cch = sizeof item.caption;
        if (GetMenuItemInfoA(menu, static_cast<UINT>(index), TRUE, &info)) {
            item.type = info.fType;
            item.state = info.fState;
        }
    }
    COPYDATASTRUCT data = {winctl::kMenuReportTag, sizeof report, &report};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(reportWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                        SMTO_BLOCK | SMTO_ABORTIFHUNG, kReportTimeoutMs, &ignored);
}

}  // namespace

// WH_CALLWNDPROC: answers winctl's menu query (menu_channel.h) sent to a menu window.
extern "C" __declspec(dllexport) LRESULT CALLBACK
    ReportMenuItems(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT query = RegisterWindowMessageA(winctl::kMenuQueryMessageName);
    const DWORD lastError = GetLastError();
    if (code == HC_ACTION) {
        const auto& sent = *reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (sent.message == query) {
            ReportMenu(sent.hwnd, reinterpret_cast<HWND>(sent.wParam));
        }
    }
    SetLastError(lastError);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            DisableThreadLibraryCalls(module);
            g_messageInChainTls = TlsAlloc();
            return g_messageInChainTls != TLS_OUT_OF_INDEXES;
        case DLL_PROCESS_DETACH:
            if (g_watchTableView) {
                UnmapViewOfFile(g_watchTableView);
                CloseHandle(g_watchTableMapping);
            }
            TlsFree(g_messageInChainTls);
            return TRUE;
        default:
            return TRUE;
    }
}
