#pragma once
// A window class of the client's: registered when the object is made, unregistered when it goes.

#include <windows.h>

#include <string>

struct FormDescription;

class WindowClass {
  public:
    WindowClass(std::string name, int backgroundColorIndex, WNDPROC procedure);
    WindowClass(const WindowClass&) = delete;
    WindowClass& operator=(const WindowClass&) = delete;
    ~WindowClass();

    const char* Name() const { return name_.c_str(); }

    // The class a form names, registered at its first use; every class lives until the program
    // ends.
    static const WindowClass& For(const FormDescription& form, WNDPROC procedure);

  private:
    std::string name_;
};
