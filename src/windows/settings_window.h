#pragma once
// The settings window: autostart, automatic sign-in and the proxy server.

#include "components/window.h"

class TfrmSettings : public Window {
  public:
    void Create(HWND owner);
};
