#pragma once
// The single-instance rule: a second start hands its arguments to the running instance, brings
// it to the front and ends.

#include <windows.h>

// Instance hand-over message: wParam is a global atom holding the new instance's arguments.
inline constexpr UINT kHandOverMessage = WM_USER + 101;

class TMainInstance {
  public:
    // Looks for another instance's application window (same class and title as ours). When one
    // runs, hands it the arguments and brings it to the front.
    explicit TMainInstance(HWND applicationWindow);

    bool AnotherInstanceRuns() const { return anotherInstanceRuns_; }

  private:
    bool anotherInstanceRuns_ = false;
};
