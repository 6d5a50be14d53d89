#pragma once
// The sign-in window, where the user enters the e-mail address and password.

#include "components/window.h"

class TfrmRegisterLogin : public Window {
  public:
    void Create(HWND owner);
};
