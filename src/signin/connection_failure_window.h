#pragma once
// The window that reports a failed connection to the service.

#include "components/window.h"

class TfrmPopop : public Window {
  public:
    void Create(HWND owner);
};
