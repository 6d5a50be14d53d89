#pragma once
// The borderless main window that stands for the client while the user is signed out.

#include <memory>

#include "app/main_instance.h"
#include "components/window.h"
#include "service/http_client.h"

class TfrmMain : public Window {
  public:
    // Creates the window and runs its creation handler. Returns false when another instance runs:
    // this process has then handed over and must end without a message loop.
    bool Create(HWND owner);

  private:
    void FormCreate();

    std::unique_ptr<TMainInstance> MainInstance;
    // Keeps windows, timers and menus alive while the user-interface thread waits for the network.
    std::unique_ptr<KeepAliveScope> NetKeepAlive1;
};
