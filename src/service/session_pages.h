#pragma once
// Opening the service's pages in the user's browser, the account pages with a fresh session.

#include <windows.h>

#include <string>
#include <vector>

// Asks the service for a new web session with the login id; true when sessionid was replaced.
// Offline, refused, asked while another exchange runs, or answered after the user signed out:
// false without a word. A failed exchange
// shows the connection failure and signs out, unless the user signed out meanwhile.
bool RequestSessionId();

// The shell's "open" for the address; whether a browser starts is not checked.
void OpenPage(const std::string& address, HWND owner);

// Test seam: while it lives, pages are recorded here instead of being opened in a browser.
class PagesOpenedForTesting {
  public:
    PagesOpenedForTesting();
    PagesOpenedForTesting(const PagesOpenedForTesting&) = delete;
    PagesOpenedForTesting& operator=(const PagesOpenedForTesting&) = delete;
    ~PagesOpenedForTesting();
    const std::vector<std::string>& Addresses() const { return addresses_; }

  private:
    friend void OpenPage(const std::string& address, HWND owner);
    std::vector<std::string> addresses_;
};
