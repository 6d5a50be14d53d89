#pragma once
// Opening the service's pages in the user's browser, the account pages with a fresh session.

#include <windows.h>

#include <string>

// Asks the service for a new web session with the login id; true when sessionid was replaced.
// Offline, refused, asked while another exchange runs, or answered after the user signed out:
// false without a word. A failed exchange
// shows the connection failure and signs out, unless the user signed out meanwhile.
bool RequestSessionId();

// The shell's "open" for the address; whether a browser starts is not checked.
void OpenPage(const std::string& address, HWND owner);

// What OpenPage hands the pages to instead of the shell, when the service's state names one.
class PageOpener {
  public:
    virtual ~PageOpener() = default;
    virtual void Open(const std::string& address) = 0;
};
