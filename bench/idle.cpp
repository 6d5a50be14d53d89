// What the real client costs while it sits signed in and idle: its private memory and the CPU
// time it uses in 60 s. The client starts with the demo account stored and automatic sign-in on,
// against the stand-in service; the window begins once the wallpaper is set and the news popups
// are gone. The minimal tray program's memory is taken too, as the floor of any program here.
// Prints the lines "idle window: begin" and "idle window: end" as they happen, so that a script
// can take Linux-side figures of the same window (scripts/bench does). A smoke run serves no news,
// so that no popups are waited for, and settles for a shorter time.
//
//   bench_idle.exe [HOST:PORT [CLIENT_EXE [SECONDS]]]
//     (default: MURLOX_SERVICE, ..\murlox.exe beside this program, 60)
//
// Under Wine two of the figures Windows gives are missing, so each is also taken another way, and
// the goals are judged by that one there:
// - GetProcessTimes of another process counts only its threads that have ended; the sum of
//   GetThreadTimes over its live threads stands in (in steps of 10 ms, Linux's clock ticks).
// - PROCESS_MEMORY_COUNTERS_EX.PrivateUsage is 0; PagefileUsage, which Windows reports as the
//   same commit charge, holds the anonymous resident memory of the Linux process (Wine's own
//   Unix-side memory included). The committed private pages VirtualQueryEx finds are printed too.

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "bench_stats.h"
#include "client_harness.h"

namespace {

constexpr DWORD kSignInTimeoutMs = 60000;
constexpr DWORD kPopupTimeoutMs = 90000;
const DWORD kSettleMs = SmokeRun() ? 500 : 2000;
constexpr double kMemoryGoalMb = 8;
constexpr double kMemoryGoalRatio = 2;  // at most twice the minimal tray program's
constexpr double kCpuGoalMsPerMinute = 50;

bool UnderWine() {
    return ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

double Mb(SIZE_T bytes) {
    return static_cast<double>(bytes) / (1 << 20);
}

struct CpuTimes {
    double process;  // GetProcessTimes
    double threads;  // sum of GetThreadTimes of the threads alive now
    int threadCount;
};

CpuTimes ReadCpuTimes(const WatchedProcess& process) {
    CpuTimes times = {0, 0, 0};
    FILETIME created, exited, kernel, user;
    if (::GetProcessTimes(process.Handle(), &created, &exited, &kernel, &user)) {
        times.process = FileTimeMs(kernel) + FileTimeMs(user);
    }
    times.threads = ThreadsCpuMs(process.Id(), &times.threadCount);
    return times;
}

struct Memory {
    SIZE_T privateUsage;
    SIZE_T pagefileUsage;
    SIZE_T workingSet;
    SIZE_T committedPrivate;  // VirtualQueryEx: committed pages of type MEM_PRIVATE
};

SIZE_T CommittedPrivatePages(HANDLE process) {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region;
    const char* address = nullptr;
    while (::VirtualQueryEx(process, address, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            total += region.RegionSize;
        }
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address) {
            break;
        }
        address = next;
    }
    return total;
}

Memory ReadMemory(const WatchedProcess& process) {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(process.Handle(),
                                reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                sizeof counters)) {
        throw std::runtime_error("GetProcessMemoryInfo failed");
    }
    return {counters.PrivateUsage, counters.PagefileUsage, counters.WorkingSetSize,
            CommittedPrivatePages(process.Handle())};
}

// The figure the memory goal is judged by.
SIZE_T PrivateBytes(const Memory& memory) {
    return UnderWine() ? memory.pagefileUsage : memory.privateUsage;
}

Memory MinimalTrayMemory(const std::string& program) {
    WatchedProcess minimal(program);
    if (!WaitFor([&] { return minimal.TrayIconRegistered("BenchMinimalTray", 1); }, 30000)) {
        throw std::runtime_error("the minimal tray program registered no icon");
    }
    ::Sleep(kSettleMs);
    const Memory memory = ReadMemory(minimal);
    minimal.End("BenchMinimalTray", nullptr, 15000);
    return memory;
}

// Once it has signed in by itself, set the wallpaper, and its news popups have gone.
void WaitUntilSettled(const WatchedProcess& client) {
    if (!WaitForRenderedWallpaper(kSignInTimeoutMs, 50)) {
        throw std::runtime_error("the client set no wallpaper within 60 s of its start");
    }
    WaitFor([&] { return !client.FindWindowOf("TfrmNotifyPopUp"); }, kPopupTimeoutMs, 100);
    ::Sleep(kSettleMs);
}

void Announce(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

void PrintMemory(const char* what, SIZE_T Memory::*field, const Memory& begin, const Memory& end,
                 const Memory& minimal) {
    std::printf("%-42s begin %6.2f MB, end %6.2f MB  (minimal tray program %5.2f MB)\n", what,
                Mb(begin.*field), Mb(end.*field), Mb(minimal.*field));
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const StandInAdmin standIn(ServiceAddressFrom(argc, argv));
        const std::string program = argc > 2 ? argv[2] : BesideThisProgram("..\\murlox.exe");
        const int seconds = argc > 3 ? std::atoi(argv[3]) : 60;
        WaitForTaskbar();
        const Memory minimal = MinimalTrayMemory(BesideThisProgram("bench_minimal_tray.exe"));

        PrepareAutomaticSignIn(standIn);
        if (SmokeRun()) {
            standIn.SetNews("[]");
        }
        WatchedProcess client(program);
        WaitUntilSettled(client);
        const double ready = MillisecondsSince(client.Started()) / 1000;
        const int requestsBefore = standIn.RequestCount();
        const Memory memoryBegin = ReadMemory(client);
        const CpuTimes cpuBegin = ReadCpuTimes(client);
        Announce("idle window: begin");
        ::Sleep(static_cast<DWORD>(seconds) * 1000);
        const CpuTimes cpuEnd = ReadCpuTimes(client);
        const Memory memoryEnd = ReadMemory(client);
        Announce("idle window: end");
        const int requests = standIn.RequestCount() - requestsBefore;
        const bool running = client.Running();
        EndClient(client);
        ResetClientRegistry();
        if (!running) {
            throw std::runtime_error("the client ended during the idle window");
        }

        const double perMinute = 60.0 / seconds;
        const double processCpu = (cpuEnd.process - cpuBegin.process) * perMinute;
        const double threadsCpu = (cpuEnd.threads - cpuBegin.threads) * perMinute;
        std::printf(
            "client signed in, wallpaper set, popups gone %.1f s after its start; "
            "then idle for %d s\n",
            ready, seconds);
        PrintMemory("private bytes (PrivateUsage):", &Memory::privateUsage, memoryBegin, memoryEnd,
                    minimal);
        PrintMemory("commit charge (PagefileUsage):", &Memory::pagefileUsage, memoryBegin,
                    memoryEnd, minimal);
        PrintMemory("committed private pages (VirtualQueryEx):", &Memory::committedPrivate,
                    memoryBegin, memoryEnd, minimal);
        PrintMemory("working set:", &Memory::workingSet, memoryBegin, memoryEnd, minimal);
        std::printf(
            "CPU per minute by GetProcessTimes:                %6.1f ms (read %.0f, then "
            "%.0f ms)\n",
            processCpu, cpuBegin.process, cpuEnd.process);
        std::printf("CPU per minute by GetThreadTimes of its %2d threads: %5.1f ms\n",
                    cpuEnd.threadCount, threadsCpu);
        std::printf("requests to the stand-in during the window: %d\n", requests);

        const bool wine = UnderWine();
        const double privateMb = Mb(PrivateBytes(memoryEnd));
        const double cpu = wine ? threadsCpu : processCpu;
        std::printf("private bytes %.2f MB by %s (goal under %.0f MB: %s)\n", privateMb,
                    wine ? "PagefileUsage" : "PrivateUsage", kMemoryGoalMb,
                    privateMb < kMemoryGoalMb ? "met" : "missed");
        const double ratio = privateMb / Mb(PrivateBytes(minimal));
        std::printf(
            "private bytes over the minimal tray program's %.2fx (goal at most %.2fx: %s)\n", ratio,
            kMemoryGoalRatio, AtMost(ratio, kMemoryGoalRatio));
        std::printf("CPU %.1f ms per minute by %s (goal under %.0f ms: %s)\n", cpu,
                    wine ? "GetThreadTimes" : "GetProcessTimes", kCpuGoalMsPerMinute,
                    cpu < kCpuGoalMsPerMinute ? "met" : "missed");
    } catch (const std::exception& error) {
        std::printf("failed: %s\n", error.what());
        ResetClientRegistry();
        return 1;
    }
    return 0;
}
