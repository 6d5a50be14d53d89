#pragma once
// The application object: the hidden top-level window titled "MURLOX" that owns every form, and
// the message loop. The program's start makes the one object and holds it until its end; what the
// windows ask of the application (its end, a pass of the loop) needs no object. A second instance
// recognises a running one by this window's class and title.

#include "ui/window.h"

inline constexpr const char* kApplicationWindowClass = "TMurloxApplication";
// The application's title: its hidden window's, its message boxes' and its tray icon's.
inline constexpr const char* kApplicationTitle = "MURLOX";

class Application : public Window {
  public:
    // The title is what a second instance looks for; tests give theirs another one, so that they
    // never take a running client for their own.
    void Initialize(const char* title = kApplicationTitle);
    // Ends the message loop and every nested one, and abandons every running exchange; a loop not
    // yet started ends at its first pass.
    static void Terminate();
    void Run();
    // Dispatches the messages waiting now, so that windows repaint during long work.
    static void ProcessMessages();

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
