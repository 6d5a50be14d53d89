#pragma once
// Real input for the window in front: keystrokes and mouse clicks go through the system's input
// queue (SendInput), as a person's would, not as messages posted to one window.

#include <string>
#include <vector>

#include <windows.h>

#include "arguments.h"

namespace winctl {

// The keystrokes that type text: characters as themselves, and named keys in braces: {TAB},
// {S-TAB} (with Shift), {C-TAB} (with Ctrl), {C-S-TAB}, {ENTER}, {ESC}, {SPACE}, {DOWN}, {UP},
// {LEFT}, {RIGHT}, {BACK}. Throws UsageError for an unknown name.
std::vector<INPUT> KeystrokesFor(const std::string& text);

// winctl type --text TEXT [--delay MS]: a pause after each keystroke
int RunType(const Arguments& arguments);
// winctl click --x X --y Y [--button right]: a click at that point of the screen.
int RunClick(const Arguments& arguments);

}  // namespace winctl
