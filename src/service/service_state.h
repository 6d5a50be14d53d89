#pragma once
// What the service layer keeps from one exchange to the next, for the whole process: the
// transport's limits and the end of the program, the application the exchanges report to, the
// exchange that runs and the download window that exists.

#include <atomic>
#include <memory>
#include <string>

#include "service/http_limits.h"

class PageOpener;
class ServiceOwner;
class SystemProxy;
struct IActiveDesktop;

struct ServiceState {
    // The transport's (service/http_client.h). The end of the program is read by the exchanges of
    // every thread; the limits that the clients start with are read and written on the
    // user-interface thread only (the sign-in worker takes a copy).
    std::atomic<bool> abandoned{false};
    HttpLimits limits = kHttpLimits;
    // The routes the Windows user's proxy settings give, found per host for the session and
    // shared with the sign-in worker, which holds its own reference; set by the application.
    std::shared_ptr<SystemProxy> systemProxy;
    // The exchanges': the one they report to (ServiceOwnerScope), and how many run on the
    // user-interface thread now (ServiceExchange).
    ServiceOwner* owner = nullptr;
    int runningExchanges = 0;
    // The download windows that exist now (TfrmDownloader).
    int downloadWindows = 0;
    // The wallpaper requests' computer id, once read (user-interface thread).
    std::string systemComputerId;
    // The system's Active Desktop sets no wallpaper: there is none, or it answers that it does not
    // implement that, as Wine's does. It will not later in the process either, so it is not asked
    // again (user-interface thread).
    bool activeDesktopSetsNoWallpaper = false;
    // Stand-ins for what cannot run under the tests, which set them: a lost connection (the system
    // reports one under Wine always; read by the sign-in worker too), a browser for the pages
    // (OpenPage), and an Active Desktop object that takes every wallpaper as newer Windows does
    // (Wine's takes none).
    std::atomic<bool> offline{false};
    PageOpener* pageOpener = nullptr;
    IActiveDesktop* activeDesktop = nullptr;
};

// The one state of the process.
ServiceState& TheServiceState();
