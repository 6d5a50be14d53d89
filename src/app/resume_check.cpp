#include "app/resume_check.h"

bool ResumeCheck::PowerNotice(uint32_t event, bool cycleRunning) {
    switch (event) {
        case kPowerSuspend:
            checkedThisWake_ = false;
            return false;
        case kPowerResumeAutomatic:
        case kPowerResumeSuspend:
        case kPowerResumeCritical:
            if (checkedThisWake_) {
                return false;
            }
            checkedThisWake_ = true;
            return cycleRunning;
        default:
            return false;
    }
}
