#pragma once
// The keep-this window, where the user keeps the current wallpaper for one to seven days.

#include "components/window.h"

class TfrmWPSetTime : public Window {
  public:
    void Create(HWND owner);
};
