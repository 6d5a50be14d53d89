#pragma once
// The single-instance rule: a second start hands its arguments to the running instance, brings
// it to the front and ends. The running instance ends when it is handed "-uninstall", so that an
// installer or uninstaller can replace or remove its program file.

#include <windows.h>

#include <functional>
#include <memory>

#include "ui/top_level_message.h"

class TMainInstance {
  public:
    // Looks for another instance's application window (same class and title as ours). When one
    // runs, hands it the arguments and brings it to the front; one that does not answer within a
    // few seconds is left as it is. Otherwise this is the running instance from now on, and a
    // hand-over of "-uninstall" calls uninstallHandedOver.
    TMainInstance(HWND applicationWindow, std::function<void()> uninstallHandedOver);
    TMainInstance(const TMainInstance&) = delete;
    TMainInstance& operator=(const TMainInstance&) = delete;

    bool AnotherInstanceRuns() const { return anotherInstanceRuns_; }

  private:
    bool anotherInstanceRuns_ = false;
    std::unique_ptr<TopLevelMessageWatch> receiver_;
};
