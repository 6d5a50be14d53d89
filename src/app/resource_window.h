#pragma once
// The never-shown resource window: the application's main form, whose closing ends the program.

#include "components/window.h"

class TfrmResources : public Window {
  public:
    void Create(HWND owner);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
