// What the real client's news popups cost while they move: the client starts with the demo account
// stored and automatic sign-in on, against the stand-in service serving three news items; after
// the wallpaper it shows three popups, which slide in together (14 steps of 25 ms), stand for
// 10 s and slide out. Its CPU time (GetThreadTimes of its live threads, in 10 ms steps under Wine)
// is read when the first popup appears, when all three stand at full size, when the first starts
// to shrink and when the last has gone; so each run gives the slide in, the standing and the slide
// out apart.
//
//   bench_popups.exe [HOST:PORT [CLIENT_EXE [RUNS]]]
//     (default: MURLOX_SERVICE, ..\murlox.exe beside this program, 5)

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_stats.h"
#include "client_harness.h"

namespace {

constexpr const char* kPopupClass = "TfrmNotifyPopUp";
constexpr int kPopupCount = 3;
constexpr int kFullHeight = 121;
constexpr DWORD kSignInTimeoutMs = 60000;
constexpr DWORD kSlideTimeoutMs = 5000;
constexpr DWORD kStandTimeoutMs = 20000;
// Often enough to see each phase begin within a step or two, seldom enough to leave the client
// the machine's cores.
constexpr DWORD kPollMs = 5;
// Goal: the slides take at most this share of one core while they run.
constexpr double kCoreShareGoal = 0.25;

const char* const kNews =
    R"([{"message": "Welcome back to MURLOX!", "url": "{base}/", "type": "INFO"},)"
    R"( {"message": "A new gallery: mountains at dawn.", "url": "{base}/", "type": "INFO"},)"
    R"( {"message": "Tip: keep a MURLO for up to a week.", "url": "{base}/", "type": "INFO"}])";

struct PopupsSeen {
    DWORD processId;
    int count;
    int fullSize;
};

BOOL CALLBACK CountPopup(HWND window, LPARAM lParam) {
    auto* seen = reinterpret_cast<PopupsSeen*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    char className[64] = "";
    ::GetClassNameA(window, className, sizeof className);
    if (owner == seen->processId && std::string(className) == kPopupClass &&
        ::IsWindowVisible(window)) {
        RECT bounds;
        ::GetWindowRect(window, &bounds);
        ++seen->count;
        seen->fullSize += bounds.bottom - bounds.top == kFullHeight;
    }
    return TRUE;
}

PopupsSeen Popups(const WatchedProcess& client) {
    PopupsSeen seen = {client.Id(), 0, 0};
    ::EnumWindows(&CountPopup, reinterpret_cast<LPARAM>(&seen));
    return seen;
}

// One moment of a run: the wall clock and the client's CPU time.
struct Mark {
    Clock::time_point time;
    double cpu;
};

Mark Now(const WatchedProcess& client) {
    int threads = 0;
    return {Clock::now(), ThreadsCpuMs(client.Id(), &threads)};
}

template <typename Condition>
Mark WaitAndMark(const WatchedProcess& client, Condition condition, DWORD timeoutMs,
                 const char* what) {
    if (!WaitFor(condition, timeoutMs, kPollMs)) {
        throw std::runtime_error(std::string("timed out waiting until ") + what);
    }
    return Now(client);
}

struct Phase {
    double wallMs;
    double cpuMs;
};

Phase Between(const Mark& from, const Mark& to) {
    return {Milliseconds(to.time - from.time).count(), to.cpu - from.cpu};
}

struct PopupsRun {
    Phase slideIn;
    Phase standing;
    Phase slideOut;
};

PopupsRun RunClient(const StandInAdmin& standIn, const std::string& program) {
    PrepareAutomaticSignIn(standIn);
    standIn.SetNews(kNews);
    WatchedProcess client(program);
    const Mark appeared = WaitAndMark(
        client, [&] { return Popups(client).count > 0; }, kSignInTimeoutMs,
        "the first popup appeared");
    const Mark stand = WaitAndMark(
        client, [&] { return Popups(client).fullSize == kPopupCount; }, kSlideTimeoutMs,
        "three popups stood at full size");
    const Mark shrinking = WaitAndMark(
        client, [&] { return Popups(client).fullSize < kPopupCount; }, kStandTimeoutMs,
        "a popup began to slide out");
    const Mark gone = WaitAndMark(
        client, [&] { return Popups(client).count == 0; }, kSlideTimeoutMs, "the popups had gone");
    EndClient(client);
    return {Between(appeared, stand), Between(stand, shrinking), Between(shrinking, gone)};
}

void PrintPhase(const char* name, const std::vector<PopupsRun>& runs, Phase PopupsRun::*phase) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (const PopupsRun& run : runs) {
        wall.push_back((run.*phase).wallMs);
        cpu.push_back((run.*phase).cpuMs);
    }
    std::printf("%-10s wall %6.0f ms, client CPU %5.0f ms (medians; CPU of the runs: %s)\n", name,
                Median(wall), Median(cpu), List(cpu).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const StandInAdmin standIn(ServiceAddressFrom(argc, argv));
        const std::string program = argc > 2 ? argv[2] : BesideThisProgram("..\\murlox.exe");
        const int runCount = argc > 3 ? std::atoi(argv[3]) : Runs(5);
        WaitForTaskbar();
        std::vector<PopupsRun> runs;
        for (int i = 0; i < runCount; ++i) {
            runs.push_back(RunClient(standIn, program));
        }
        ResetClientRegistry();

        std::printf("three news popups of the client, %d runs:\n", runCount);
        PrintPhase("slide in", runs, &PopupsRun::slideIn);
        PrintPhase("standing", runs, &PopupsRun::standing);
        PrintPhase("slide out", runs, &PopupsRun::slideOut);
        // Over all runs together, so that the 10 ms steps of the CPU figures even out.
        double slideWall = 0;
        double slideCpu = 0;
        for (const PopupsRun& run : runs) {
            slideWall += run.slideIn.wallMs + run.slideOut.wallMs;
            slideCpu += run.slideIn.cpuMs + run.slideOut.cpuMs;
        }
        const double share = slideWall > 0 ? slideCpu / slideWall : 0;
        std::printf(
            "sliding in and out, all runs: %.0f ms of CPU in %.0f ms, %.1f %% of one core "
            "(goal at most %.0f %%: %s)\n",
            slideCpu, slideWall, share * 100, kCoreShareGoal * 100, AtMost(share, kCoreShareGoal));
    } catch (const std::exception& error) {
        std::printf("failed: %s\n", error.what());
        ResetClientRegistry();
        return 1;
    }
    return 0;
}
