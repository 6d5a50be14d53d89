#pragma once
// The never-shown resource window: the application's main form, whose closing would end the
// program. It holds the pictures the other windows swap in and out, drives the ten-second cycle
// and learns first that the Windows session ends.

#include <cstdint>

#include "app/resume_check.h"
#include "components/picture.h"
#include "ui/window.h"

// The Windows session has been asked to end; never cleared.
extern bool SessionEnding;

class TfrmResources : public Window {
  public:
    void Create(HWND owner);

    // The ten-second cycle: notices a lost connection, checks the keep schedule about hourly,
    // retries an automatic sign-in. Stopped while a sign-in runs.
    void StartCycle();
    void StopCycle();
    bool CycleRunning() const { return cycleRunning_; }
    void tmrCycleTimerTimer();
    int32_t CycleTicks = 0;

    Picture imgSignIn;
    Picture imgSignIn_Over;
    Picture imgLogo_active;
    Picture imgLogo_inactive;
    Picture imgSet;
    Picture imgSet_over;
    Picture imgGo;
    Picture imgGo_over;
    Picture imgLogoSmall;
    Picture imgBackgroundSmall;
    Picture imgCloseWindow;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // True when the close may go ahead.
    bool FormCloseQuery();
    LRESULT WMQueryEndSession();

    bool cycleRunning_ = false;
    ResumeCheck resumeCheck_;
};

// Hides every window of the client and ends every modal run with "closed by the program".
void HideAllWindows();

// The one TfrmResources, from its creation at start-up to the end.
extern TfrmResources* frmResources;
