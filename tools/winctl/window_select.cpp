#include "window_select.h"

#include <algorithm>
#include <cstdio>

namespace winctl {

const std::vector<std::string> kSelectorOptions = {"--hwnd", "--class", "--title", "--pid",
                                                   "--visible"};

namespace {

// Window texts are read from Wine's and Windows' own copy (no message is sent to other processes),
// so a hung window cannot stall winctl.
std::string ClassNameOf(HWND window) {
    char name[256];
    const int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? length : 0);
}

std::string TitleOf(HWND window) {
    char title[1024];
    const int length = GetWindowTextA(window, title, sizeof title);
    return std::string(title, length > 0 ? length : 0);
}

DWORD ProcessIdOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

bool Matches(const WindowSelector& selector, HWND window) {
    return (!selector.className || ClassNameOf(window) == *selector.className) &&
           (!selector.title || TitleOf(window) == *selector.title) &&
           (!selector.processId || ProcessIdOf(window) == *selector.processId) &&
           (!selector.visibleOnly || IsWindowVisible(window));
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

}  // namespace

WindowSelector WindowSelector::FromArguments(const Arguments& arguments) {
    WindowSelector selector;
    if (arguments.Has("--hwnd")) {
        selector.window =
            reinterpret_cast<HWND>(static_cast<ULONG_PTR>(arguments.RequiredNumber("--hwnd")));
    }
    if (arguments.Has("--class")) {
        selector.className = arguments.Text("--class");
    }
    if (arguments.Has("--title")) {
        selector.title = arguments.Text("--title");
    }
    if (arguments.Has("--pid")) {
        selector.processId = arguments.RequiredNumber("--pid");
    }
    selector.visibleOnly = arguments.Has("--visible");
    return selector;
}

std::vector<HWND> FindWindows(const WindowSelector& selector) {
    std::vector<HWND> candidates;
    if (selector.window) {
        if (IsWindow(*selector.window)) {
            candidates.push_back(*selector.window);
        }
    } else {
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&candidates));
    }
    std::vector<HWND> matches;
    for (HWND window : candidates) {
        if (Matches(selector, window)) {
            matches.push_back(window);
        }
    }
    return matches;
}

std::string HexNumber(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%lx", value);
    return text;
}

std::string QuoteText(const std::string& text) {
    std::string quoted = "\"";
    for (const char character : text) {
        const auto byte = static_cast<unsigned char>(character);
        switch (character) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\r':
                quoted += "\\r";
                break;
            case '\t':
                quoted += "\\t";
                break;
            default:
                if (byte < 0x20 || byte == 0x7f) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
                    quoted += escaped;
                } else {
                    quoted += character;
                }
        }
    }
    return quoted + "\"";
}

std::string DescribeWindow(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    // The client area in screen coordinates, as the window's own content sees the screen.
    RECT client = {};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    char tail[192];
    std::snprintf(tail, sizeof tail, " visible=%d rect=%ld,%ld,%ld,%ld client=%ld,%ld,%ld,%ld",
                  IsWindowVisible(window) ? 1 : 0, rect.left, rect.top, rect.right, rect.bottom,
                  client.left, client.top, client.right, client.bottom);
    return "hwnd=" + HexNumber(reinterpret_cast<ULONG_PTR>(window)) +
           " pid=" + std::to_string(ProcessIdOf(window)) +
           " class=" + QuoteText(ClassNameOf(window)) + " title=" + QuoteText(TitleOf(window)) +
           tail;
}

std::string DescribeChild(HWND child) {
    char text[1024] = "";
    DWORD_PTR length = 0;
    SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 2000, &length);
    DWORD_PTR checked = 0;
    if (ClassNameOf(child) == "Button") {
        SendMessageTimeoutA(child, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &checked);
    }
    RECT rect = {};
    GetWindowRect(child, &rect);
    char tail[160];
    std::snprintf(tail, sizeof tail, " visible=%d enabled=%d checked=%d rect=%ld,%ld,%ld,%ld",
                  IsWindowVisible(child) ? 1 : 0, IsWindowEnabled(child) ? 1 : 0,
                  static_cast<int>(checked), rect.left, rect.top, rect.right, rect.bottom);
    return "hwnd=" + HexNumber(reinterpret_cast<ULONG_PTR>(child)) +
           " class=" + QuoteText(ClassNameOf(child)) +
           " text=" + QuoteText(std::string(text, std::min<size_t>(length, sizeof text - 1))) +
           tail;
}

}  // namespace winctl
