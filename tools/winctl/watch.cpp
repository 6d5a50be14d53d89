#include "watch.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "exit_status.h"
#include "hook_library.h"
#include "watch_channel.h"
#include "window_select.h"

namespace winctl {

namespace {

struct ReportCounter {
    uint32_t wanted;
    uint32_t printed = 0;
};

void PrintReport(const WatchReport& report) {
    std::printf(
        "msg=%lu hwnd=%s wparam=%s lparam=%s atom=%s via=%s\n",
        static_cast<unsigned long>(report.message), HexNumber(report.window).c_str(),
        HexNumber(report.wParam).c_str(), HexNumber(report.lParam).c_str(),
        QuoteText(std::string(report.atomName, strnlen(report.atomName, sizeof report.atomName)))
            .c_str(),
        report.delivery == kDeliverySent ? "sent" : "posted");
    std::fflush(stdout);
}

// Takes one report for the counter; reports that arrive after the last wanted one (the hooks go
// away only afterwards) are not printed, so the output has exactly --count records.
bool TakeReport(ReportCounter& counter, const COPYDATASTRUCT& data) {
    if (data.dwData != kWatchReportTag || data.cbData != sizeof(WatchReport)) {
        return false;
    }
    if (counter.printed < counter.wanted) {
        PrintReport(*static_cast<const WatchReport*>(data.lpData));
        ++counter.printed;
    }
    return true;
}

// This watch's entry in the watch table of the target process, active while the object lives.
class WatchRegistration {
  public:
    WatchRegistration(DWORD processId, DWORD threadId, UINT message, HWND sink) {
        char name[64];
        FormatWatchTableName(processId, name);
        // Opens the table when the hook DLL or another winctl already holds it.
        mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(WatchTable), name);
        if (!mapping_) {
            throw SystemFailure("cannot create the watch table");
        }
        table_ = static_cast<WatchTable*>(
            MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, sizeof(WatchTable)));
        if (!table_) {
            CloseHandle(mapping_);
            throw SystemFailure("cannot map the watch table");
        }
        slot_ = ClaimSlot();
        if (!slot_) {
            Release();
            throw std::runtime_error("too many watches on one process");
        }
        slot_->threadId = threadId;
        slot_->message = message;
        slot_->sinkWindow = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(sink));
        InterlockedExchange(&slot_->state, kSlotActive);
    }
    ~WatchRegistration() {
        InterlockedExchange(&slot_->state, kSlotFree);
        Release();
    }
    WatchRegistration(const WatchRegistration&) = delete;
    WatchRegistration& operator=(const WatchRegistration&) = delete;

  private:
    // A free slot, or one left behind by a winctl that ended without cleaning up.
    WatchSlot* ClaimSlot() {
        for (WatchSlot& slot : table_->slots) {
            if (InterlockedCompareExchange(&slot.state, kSlotClaimed, kSlotFree) == kSlotFree) {
                return &slot;
            }
        }
        for (WatchSlot& slot : table_->slots) {
            const HWND sink = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(slot.sinkWindow));
            if (slot.state == kSlotActive && !IsWindow(sink) &&
                InterlockedCompareExchange(&slot.state, kSlotClaimed, kSlotActive) == kSlotActive) {
                return &slot;
            }
        }
        return nullptr;
    }

    void Release() {
        UnmapViewOfFile(table_);
        CloseHandle(mapping_);
    }

    HANDLE mapping_ = nullptr;
    WatchTable* table_ = nullptr;
    WatchSlot* slot_ = nullptr;
};

// Handles messages (the reports arrive as sent messages) until enough reports or the deadline.
bool PumpUntil(const ReportCounter& counter, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        if (counter.printed >= counter.wanted) {
            return true;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                  QS_ALLINPUT);
    }
}

}  // namespace

int RunWatch(const Arguments& arguments) {
    const UINT message = arguments.RequiredNumber("--msg");
    ReportCounter counter = {arguments.Number("--count", 1)};
    if (counter.wanted == 0) {
        throw UsageError("--count must be at least 1");
    }
    const DWORD timeoutMs = arguments.Milliseconds("--timeout", kDefaultTimeoutMs);
    const std::vector<HWND> targets = FindWindows(WindowSelector::FromArguments(arguments));
    if (targets.empty()) {
        return kExitNoMatch;
    }
    DWORD processId = 0;
    const DWORD threadId = GetWindowThreadProcessId(targets.front(), &processId);

    try {
        const HMODULE hookLibrary = LoadHookLibrary();
        ReportWindow sink(
            [&counter](const COPYDATASTRUCT& data) { return TakeReport(counter, data); });
        WatchRegistration registration(processId, threadId, message, sink.Handle());
        Hook sentHook(WH_CALLWNDPROC, hookLibrary, "WatchSentMessage", threadId);
        Hook postedHook(WH_GETMESSAGE, hookLibrary, "WatchPostedMessage", threadId);
        std::printf("ready\n");
        std::fflush(stdout);
        return PumpUntil(counter, timeoutMs) ? kExitOk : kExitNoMatch;
    } catch (const std::runtime_error& failure) {
        std::fprintf(stderr, "winctl watch: %s\n", failure.what());
        return kExitFailure;
    }
}

}  // namespace winctl
