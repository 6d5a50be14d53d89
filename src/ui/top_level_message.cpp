#include "ui/top_level_message.h"

#include <utility>

#include "ui/win_handles.h"
#include "ui/window_class.h"

namespace {

struct Watched {
    UINT message = 0;
    std::function<void(WPARAM)> received;
};
Watched watched;

int foreignScopes = 0;
UniqueHook foreignHook;

bool IsTopLevel(HWND window) {
    return (::GetWindowLongA(window, GWL_STYLE) & WS_CHILD) == 0;
}

void Receive(HWND window, UINT message, WPARAM wParam) {
    // Controls use the same number for messages of their own; the one watched goes to a
    // top-level window.
    if (watched.received && message == watched.message && IsTopLevel(window)) {
        watched.received(wParam);
    }
}

LRESULT CALLBACK WatchForeignWindows(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    // The client's own windows report from their procedure.
    if (code == HC_ACTION && !WindowClass::IsClientWindow(sent->hwnd)) {
        Receive(sent->hwnd, sent->message, sent->wParam);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TopLevelMessageWatch::TopLevelMessageWatch(UINT message, std::function<void(WPARAM)> received) {
    watched = {message, std::move(received)};
}

TopLevelMessageWatch::~TopLevelMessageWatch() {
    watched = {};
}

void ReportTopLevelMessage(HWND window, UINT message, WPARAM wParam) {
    if (message == watched.message) {
        Receive(window, message, wParam);
    }
}

ForeignWindowWatchScope::ForeignWindowWatchScope() {
    if (foreignScopes++ == 0) {
        foreignHook.reset(::SetWindowsHookExA(WH_CALLWNDPROC, &WatchForeignWindows, nullptr,
                                              ::GetCurrentThreadId()));
    }
}

ForeignWindowWatchScope::~ForeignWindowWatchScope() {
    if (--foreignScopes == 0) {
        foreignHook.reset();
    }
}
