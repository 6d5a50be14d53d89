// From the sign-in to the wallpaper on the desktop, for the real client against the stand-in
// service on loopback: the client starts with the demo account stored and automatic sign-in on;
// each run measures from the stand-in recording the login request (and from the process start)
// until the desktop wallpaper names the bitmap the client rendered. The stand-in's request times
// split it into the way from the login to the GETONE request and from there to the wallpaper.
//
//   bench_signin.exe [HOST:PORT [CLIENT_EXE]]
//     (default: MURLOX_SERVICE and ..\murlox.exe beside this program)

#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_stats.h"
#include "client_harness.h"

namespace {

constexpr int kRuns = 7;
constexpr DWORD kWallpaperTimeoutMs = 60000;

struct SignInRun {
    double fromStart;
    double fromLogin;
    double loginToRequest;  // login request to GETONE request
    double requestToWallpaper;
};

SignInRun RunClient(const StandInAdmin& standIn, const std::string& program) {
    PrepareAutomaticSignIn(standIn);
    WatchedProcess client(program);
    if (!WaitForRenderedWallpaper(kWallpaperTimeoutMs)) {
        throw std::runtime_error("the client set no wallpaper within 60 s of its start");
    }
    const double wallpaperSet = WallClockSeconds();
    const double fromStart = MillisecondsSince(client.Started());
    EndClient(client);
    const double login = standIn.FirstRequestTime("/actions/login.php");
    const double request = standIn.FirstRequestTime("/actions/wallpaperserve.php");
    if (login < 0 || request < 0) {
        throw std::runtime_error("the stand-in recorded no login or no wallpaper request");
    }
    return {fromStart, (wallpaperSet - login) * 1000, (request - login) * 1000,
            (wallpaperSet - request) * 1000};
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<double> fromStart;
    std::vector<double> fromLogin;
    std::vector<double> loginToRequest;
    std::vector<double> requestToWallpaper;
    try {
        const StandInAdmin standIn(ServiceAddressFrom(argc, argv));
        const std::string program = argc > 2 ? argv[2] : BesideThisProgram("..\\murlox.exe");
        WaitForTaskbar();
        RunClient(standIn, program);  // warm-up, not counted: the stand-in draws the picture
        for (int run = 0; run < Runs(kRuns); ++run) {
            const SignInRun result = RunClient(standIn, program);
            fromStart.push_back(result.fromStart);
            fromLogin.push_back(result.fromLogin);
            loginToRequest.push_back(result.loginToRequest);
            requestToWallpaper.push_back(result.requestToWallpaper);
        }
    } catch (const std::exception& error) {
        std::printf("failed: %s\n", error.what());
        ResetClientRegistry();
        return 1;
    }
    ResetClientRegistry();
    std::printf("automatic sign-in to the wallpaper set, stand-in on loopback, %d runs (ms)\n",
                Runs(kRuns));
    std::printf("login request recorded to wallpaper set: median %6.0f  (%s)\n", Median(fromLogin),
                List(fromLogin).c_str());
    std::printf("  login request to GETONE request:       median %6.0f  (%s)\n",
                Median(loginToRequest), List(loginToRequest).c_str());
    std::printf("  GETONE request to wallpaper set:       median %6.0f  (%s)\n",
                Median(requestToWallpaper), List(requestToWallpaper).c_str());
    std::printf("process start to wallpaper set:          median %6.0f  (%s)\n", Median(fromStart),
                List(fromStart).c_str());
    return 0;
}
