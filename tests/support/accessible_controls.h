#pragma once
// What a screen reader finds in a window: each visible control's role and name, asked as a screen
// reader asks, through Active Accessibility (oleacc).

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

struct AccessibleControl {
    long role = 0;
    std::string name;
    HWND window = nullptr;  // not compared

    bool operator==(const AccessibleControl& other) const {
        return role == other.role && name == other.name;
    }
};

std::ostream& operator<<(std::ostream& out, const AccessibleControl& control);

// The window's visible descendants, the window itself excluded, sorted by role and name.
std::vector<AccessibleControl> AccessibleControlsOf(HWND window);

// The controls in the order AccessibleControlsOf gives them.
std::vector<AccessibleControl> Sorted(std::vector<AccessibleControl> controls);

// The window's own client object.
AccessibleControl AccessibleWindow(HWND window);

// Asks the window's object for its default action, as a screen reader's "press" does.
bool PressAccessible(HWND window);
