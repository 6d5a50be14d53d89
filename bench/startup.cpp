// Start-up of the real client to its tray icon registered, against a minimal tray program
// (bench_minimal_tray), both started by this process and watched from outside. The client starts
// as on its first run (no settings, so it shows its main window signed out) and is ended after
// each run. Runs alternate; prints the medians and the ratio. Meant to run while the Wine server
// is kept running (wineserver -p), as scripts/bench does.
//
//   bench_startup.exe [CLIENT_EXE [MINIMAL_EXE]]
//     (default: ..\murlox.exe and bench_minimal_tray.exe beside this program)

#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_stats.h"
#include "client_harness.h"

namespace {

constexpr int kRunsEach = 9;
constexpr double kGoal = 1.3;
constexpr DWORD kStartTimeoutMs = 30000;
// After the tray icon, how long the client's main window may take to show before giving up on it.
constexpr DWORD kMainWindowGraceMs = 10000;
constexpr DWORD kEndTimeoutMs = 15000;
constexpr UINT kMinimalTrayIconId = 1;

struct ClientStart {
    double trayIcon;
    double mainWindow;  // negative: not shown
};

ClientStart StartClient(const std::string& program) {
    ResetClientRegistry();
    WatchedProcess client(program);
    double trayIcon = -1;
    double mainWindow = -1;
    const auto sinceStart = [&] { return MillisecondsSince(client.Started()); };
    WaitFor(
        [&] {
            if (trayIcon < 0 &&
                client.TrayIconRegistered(kClientTrayWindowClass, kClientTrayIconId)) {
                trayIcon = sinceStart();
            }
            const HWND main = mainWindow < 0 ? client.FindWindowOf("TfrmMain") : nullptr;
            if (main && ::IsWindowVisible(main)) {
                mainWindow = sinceStart();
            }
            const bool mainWindowDone =
                mainWindow >= 0 || sinceStart() > trayIcon + kMainWindowGraceMs;
            return (trayIcon >= 0 && mainWindowDone) || !client.Running();
        },
        kStartTimeoutMs + kMainWindowGraceMs);
    if (trayIcon < 0) {
        throw std::runtime_error(client.Running() ? "the client registered no tray icon in time"
                                                  : "the client ended before its tray icon");
    }
    EndClient(client);
    return {trayIcon, mainWindow};
}

double StartMinimal(const std::string& program) {
    WatchedProcess minimal(program);
    bool registered = false;
    WaitFor(
        [&] {
            registered = minimal.TrayIconRegistered("BenchMinimalTray", kMinimalTrayIconId);
            return registered || !minimal.Running();
        },
        kStartTimeoutMs);
    const double elapsed = MillisecondsSince(minimal.Started());
    if (!registered) {
        throw std::runtime_error("the minimal tray program registered no icon");
    }
    minimal.End("BenchMinimalTray", nullptr, kEndTimeoutMs);
    return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string client = argc > 1 ? argv[1] : BesideThisProgram("..\\murlox.exe");
    const std::string minimal = argc > 2 ? argv[2] : BesideThisProgram("bench_minimal_tray.exe");
    std::vector<double> minimalTimes;
    std::vector<double> clientTimes;
    std::vector<double> mainWindowTimes;
    try {
        WaitForTaskbar();
        StartMinimal(minimal);  // warm-up, not counted: the first start loads more from disk
        StartClient(client);
        for (int run = 0; run < Runs(kRunsEach); ++run) {
            minimalTimes.push_back(StartMinimal(minimal));
            const ClientStart start = StartClient(client);
            clientTimes.push_back(start.trayIcon);
            if (start.mainWindow >= 0) {
                mainWindowTimes.push_back(start.mainWindow);
            }
        }
    } catch (const std::exception& error) {
        std::printf("failed: %s\n", error.what());
        ResetClientRegistry();
        return 1;
    }
    ResetClientRegistry();
    const double ratio = Median(clientTimes) / Median(minimalTimes);
    std::printf("start-up to the tray icon registered, %d runs each, alternating (ms)\n",
                Runs(kRunsEach));
    std::printf("minimal tray program:               median %6.0f  (%s)\n", Median(minimalTimes),
                List(minimalTimes).c_str());
    std::printf("murlox.exe, first run:              median %6.0f  (%s)\n", Median(clientTimes),
                List(clientTimes).c_str());
    std::printf("murlox.exe, its main window shown:  median %6.0f  (%s; %zu of %d runs)\n",
                Median(mainWindowTimes), List(mainWindowTimes).c_str(), mainWindowTimes.size(),
                Runs(kRunsEach));
    std::printf("client over minimal %.2fx (goal at most %.2fx: %s)\n", ratio, kGoal,
                AtMost(ratio, kGoal));
    return 0;
}
