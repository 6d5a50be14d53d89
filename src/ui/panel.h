#pragma once
// A plain container for other controls: no bevel and no colour of its own, so what lies under it
// (its parent's background and the controls below it) shows through.

#include <windows.h>

#include "ui/control.h"

class Panel : public Control {
  public:
    void Create(HWND parent, int left, int top, int width, int height);

  protected:
    void PaintContent(HDC) override {}
};
