#pragma once
// What a screen reader learns of a window of the client's: its role, its name and, for the
// controls that act, the action it can press. It is told through Microsoft Active Accessibility
// (WM_GETOBJECT), which UI Automation reads as well. Everything else (place, state, focus) the
// system's own object for the window answers.

#include <windows.h>

#include <functional>
#include <string>

struct AccessibleDescription {
    long role = 0;     // a ROLE_SYSTEM_* value; 0 leaves the system's own answers
    std::string name;  // in the ANSI code page, as the window's texts
    // For a control that acts: the screen reader's "press", run from the message loop.
    std::function<void()> press;
};

// The roles the client's controls play.
AccessibleDescription AccessiblePushButton(std::string name, std::function<void()> press);
AccessibleDescription AccessibleLink(std::string name, std::function<void()> press);
AccessibleDescription AccessibleText(std::string name);
AccessibleDescription AccessibleGraphic(std::string name);
AccessibleDescription AccessibleCheckBox(std::string name);
// An edit or a list, named by the label before it.
AccessibleDescription AccessibleEdit(std::string name);
AccessibleDescription AccessibleList(std::string name);
AccessibleDescription AccessiblePageTabs(std::string name);
AccessibleDescription AccessiblePage(std::string name);
AccessibleDescription AccessibleProgressBar(std::string name);

// The name that a label's caption gives the control after it: "server:" names the edit "server".
std::string NameFromLabel(const std::string& caption);

// The answer to WM_GETOBJECT: for the window's client object, the system's object with the
// description's role, name and action; 0 for every other object, which the system then answers.
// The object may outlive the window: its press posts AccessiblePressMessage to the window, which
// then runs the description's press.
LRESULT AnswerAccessibleObject(HWND hwnd, WPARAM wParam, LPARAM lParam,
                               const AccessibleDescription& description);

// Posted by a screen reader's press; carries nothing.
UINT AccessiblePressMessage();
