#pragma once
// No C++ error may cross the system's frames: one that leaves a window procedure, a timer
// callback or the start-up of WinMain ends the process. Every such dispatch point runs its work
// through this guard, which shows the error with the application's error display and lets the
// program go on.

#include <exception>
#include <utility>

// Shows the error's own text; never throws, whatever the display meets.
void ShowDispatchError(const std::exception& error) noexcept;

// Runs the work; an error it raises is shown instead of passed on. True when the work ran to its
// end.
template <typename Work>
bool RunGuarded(Work&& work) noexcept {
    try {
        std::forward<Work>(work)();
        return true;
    } catch (const std::exception& error) {
        ShowDispatchError(error);
        return false;
    }
}
