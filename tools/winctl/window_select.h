// Choosing windows by handle, class, title, process and visibility, and describing them.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "arguments.h"

namespace winctl {

// The options that make up a window selector, for the command table.
extern const std::vector<std::string> kSelectorOptions;

struct WindowSelector {
    std::optional<HWND> window;            // only this window (which may be a child window)
    std::optional<std::string> className;  // exact, case-sensitive
    std::optional<std::string> title;      // exact, case-sensitive
    std::optional<DWORD> processId;
    bool visibleOnly = false;

    static WindowSelector FromArguments(const Arguments& arguments);
};

// The matching windows: the given window, or else the top-level windows in z-order.
std::vector<HWND> FindWindows(const WindowSelector& selector);

// One "list" record: hwnd=0x… pid=N class="…" title="…" visible=0|1 rect=L,T,R,B
// client=L,T,R,B (both in screen coordinates)
std::string DescribeWindow(HWND window);

// One "children" record of a child window: hwnd=0x… class="…" text="…" visible=0|1 enabled=0|1
// checked=0|1|2 rect=L,T,R,B (in screen coordinates). The text is asked of the window itself, so
// an edit gives what was typed into it.
std::string DescribeChild(HWND child);

// Text in double quotes; quotes, backslashes and control characters escaped so that a record stays
// on one line.
std::string QuoteText(const std::string& text);

std::string HexNumber(unsigned long value);

}  // namespace winctl
