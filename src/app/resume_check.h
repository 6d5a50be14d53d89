#pragma once
// When to run the cycle's check after the computer wakes: timer ticks do not run during sleep,
// so the wallpaper would otherwise wait up to an hour.

#include <cstdint>

// The events of the system's power notice (its wParam) that matter here.
inline constexpr uint32_t kPowerSuspend = 0x4;
inline constexpr uint32_t kPowerResumeCritical = 0x6;
inline constexpr uint32_t kPowerResumeSuspend = 0x7;
inline constexpr uint32_t kPowerResumeAutomatic = 0x12;

// One wake brings one or two resume notices: an automatic one, and a second one when the user
// is present. The check runs once per wake: a later notice counts as a new wake only after the
// system announced a suspend or a cycle tick ran since the last check.
class ResumeCheck {
  public:
    // True when the cycle's check is to run now. While the cycle is stopped a sign-in or the
    // hourly check is under way, which ends with the wallpaper fetched or the client signed out;
    // the wake is left to it, and no second exchange starts inside the first.
    bool PowerNotice(uint32_t event, bool cycleRunning);
    // A tick of the cycle timer ran.
    void CycleTicked() { checkedThisWake_ = false; }

  private:
    bool checkedThisWake_ = false;
};
