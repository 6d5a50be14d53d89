#pragma once
// The picker window, which shows the service's page of wallpapers to choose from.

#include "components/window.h"

class TfrmWPPicker : public Window {
  public:
    void Create(HWND owner);
};
