#pragma once
// A message that other processes send to whichever top-level window of this thread they find
// (a second start hands its arguments to the last active popup of the running instance).
//
// The client's own windows report it from their window procedure. The system's windows on this
// thread (a message box, the windows a hosted control opens) can only be watched through a
// thread hook, and such a hook makes every message sent on the thread dearer: under Wine each
// sent message then costs a round trip to the server, over a millisecond for every window
// created. The hook is therefore installed only while a message box or a modal window is up,
// the only times such a window can be the one found.

#include <windows.h>

#include <functional>

// Watches the message on the thread's top-level windows while it lives; one watch at a time.
// received runs inside the system's frames (a window procedure, a hook): it must not throw.
class TopLevelMessageWatch {
  public:
    TopLevelMessageWatch(UINT message, std::function<void(WPARAM)> received);
    TopLevelMessageWatch(const TopLevelMessageWatch&) = delete;
    TopLevelMessageWatch& operator=(const TopLevelMessageWatch&) = delete;
    ~TopLevelMessageWatch();
};

// Called by the window procedure of the client's own windows for every message.
void ReportTopLevelMessage(HWND window, UINT message, WPARAM wParam);

// While one lives, the system's windows of this thread are watched as well; nested scopes share
// one hook.
class ForeignWindowWatchScope {
  public:
    ForeignWindowWatchScope();
    ForeignWindowWatchScope(const ForeignWindowWatchScope&) = delete;
    ForeignWindowWatchScope& operator=(const ForeignWindowWatchScope&) = delete;
    ~ForeignWindowWatchScope();
};
