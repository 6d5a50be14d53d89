#include "service/internet_connection.h"

#include <windows.h>
#include <wininet.h>

#include <atomic>

namespace {

// Read by the sign-in worker thread as well.
std::atomic<int> offlineScopes{0};

}  // namespace

bool IsInternetConnected() {
    if (offlineScopes > 0) {
        return false;
    }
    DWORD flags = 0;
    return ::InternetGetConnectedState(&flags, 0) != FALSE;
}

OfflineForTesting::OfflineForTesting() {
    ++offlineScopes;
}

OfflineForTesting::~OfflineForTesting() {
    --offlineScopes;
}
