#include "service/internet_connection.h"

#include <windows.h>

#include "service/service_state.h"
#include "ui/system_library.h"

namespace {

using ConnectedStateFunction = BOOL(WINAPI*)(DWORD*, DWORD);

// WinINet is loaded by the first check, ten seconds after start-up or at the first sign-in,
// rather than with the program: the first seconds do not need it. Without it (no Windows the
// client runs on lacks it) the answer is yes, as Wine always gives.
ConnectedStateFunction ConnectedState() {
    static const auto function = reinterpret_cast<ConnectedStateFunction>(reinterpret_cast<void*>(
        ::GetProcAddress(LoadSystemLibrary("wininet.dll"), "InternetGetConnectedState")));
    return function;
}

}  // namespace

bool IsInternetConnected() {
    if (TheServiceState().offline) {
        return false;
    }
    DWORD flags = 0;
    const ConnectedStateFunction connectedState = ConnectedState();
    return !connectedState || connectedState(&flags, 0) != FALSE;
}
