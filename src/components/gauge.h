#pragma once
// A progress gauge: a bar in the client's pink on white with the percentage in its middle.

#include <windows.h>

#include <cstdint>

#include "ui/window.h"

class Gauge : public Window {
  public:
    void Create(HWND parent, const RECT& bounds);

    void SetMinValue(int64_t value);
    void SetMaxValue(int64_t value);
    // Clamped to the range; repaints at once, since the caller may be blocking the thread.
    void SetProgress(int64_t value);
    int64_t MaxValue() const { return max_; }
    // Whole percent of the range that the progress covers; 0 for an empty range.
    int PercentDone() const;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Paint(HDC dc) const;

    int64_t min_ = 0;
    int64_t max_ = 100;
    int64_t progress_ = 0;
};
