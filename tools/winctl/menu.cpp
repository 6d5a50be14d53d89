#include "menu.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "exit_status.h"
#include "hook_library.h"
#include "menu_channel.h"
#include "window_select.h"

namespace winctl {

namespace {

constexpr DWORD kPollIntervalMs = 50;
constexpr char kMenuWindowClass[] = "#32768";

struct MenuItem {
    int index;
    std::string caption;
    bool enabled;
    bool isDefault;
    bool separator;
};

// The open popup menu: the top-most visible window of the menu class, so the deepest open
// submenu; --pid narrows it to one process.
HWND WaitForOpenMenu(const Arguments& arguments, DWORD timeoutMs) {
    WindowSelector selector = WindowSelector::FromArguments(arguments);
    selector.className = kMenuWindowClass;
    selector.visibleOnly = true;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const std::vector<HWND> windows = FindWindows(selector);
        if (!windows.empty()) {
            return windows.front();
        }
        if (GetTickCount64() >= deadline) {
            return nullptr;
        }
        Sleep(kPollIntervalMs);
    }
}

std::vector<MenuItem> ItemsOfReport(const MenuReport& report) {
    std::vector<MenuItem> items;
    for (DWORD index = 0; index < report.count && index < kMenuItemLimit; ++index) {
        const MenuItemReport& item = report.items[index];
        items.push_back({static_cast<int>(index),
                         std::string(item.caption, strnlen(item.caption, sizeof item.caption)),
                         (item.state & MFS_DISABLED) == 0, (item.state & MFS_DEFAULT) != 0,
                         (item.type & MFT_SEPARATOR) != 0});
    }
    return items;
}

// The items, read by winctl_hook.dll inside the menu's process (menu_channel.h); nothing when the
// menu closed before it answered.
std::optional<std::vector<MenuItem>> ReadMenuItems(HWND menuWindow, DWORD timeoutMs) {
    const DWORD threadId = GetWindowThreadProcessId(menuWindow, nullptr);
    const HMODULE hookLibrary = LoadHookLibrary();
    std::optional<std::vector<MenuItem>> items;
    ReportWindow reports([&items](const COPYDATASTRUCT& data) {
        if (data.dwData != kMenuReportTag || data.cbData != sizeof(MenuReport)) {
            return false;
        }
        items = ItemsOfReport(*static_cast<const MenuReport*>(data.lpData));
        return true;
    });
    const Hook hook(WH_CALLWNDPROC, hookLibrary, "ReportMenuItems", threadId);
    // The report arrives while this waits: a thread waiting in SendMessage handles the messages
    // sent to it.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(menuWindow, RegisterWindowMessageA(kMenuQueryMessageName),
                        reinterpret_cast<WPARAM>(reports.Handle()), 0, SMTO_NORMAL, timeoutMs,
                        &ignored);
    return items;
}

std::string DescribeMenuItem(const MenuItem& item) {
    return "index=" + std::to_string(item.index) + " caption=" + QuoteText(item.caption) +
           " enabled=" + (item.enabled ? "1" : "0") + " default=" + (item.isDefault ? "1" : "0") +
           " separator=" + (item.separator ? "1" : "0");
}

// The caption as the menu shows it: "&" marks the next letter as the item's key, "&&" is an "&".
std::string ShownText(const std::string& caption) {
    std::string shown;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            ++i;
        }
        shown += caption[i];
    }
    return shown;
}

const MenuItem* FindItem(const std::vector<MenuItem>& items, const std::string& text) {
    for (const MenuItem& item : items) {
        if (!item.separator && (item.caption == text || ShownText(item.caption) == text)) {
            return &item;
        }
    }
    return nullptr;
}

void PostKey(HWND menuWindow, WPARAM key) {
    PostMessageA(menuWindow, WM_KEYDOWN, key, 0);
}

bool WaitUntilClosed(HWND menuWindow, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (IsWindow(menuWindow) && IsWindowVisible(menuWindow)) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(kPollIntervalMs);
    }
    return true;
}

// The open menu and its items, or an exit status when there is none.
struct OpenMenu {
    HWND window = nullptr;
    std::vector<MenuItem> items;
    int failure = kExitOk;
};

OpenMenu ReadOpenMenu(const char* command, const Arguments& arguments, DWORD timeoutMs) {
    OpenMenu menu;
    menu.window = WaitForOpenMenu(arguments, timeoutMs);
    if (!menu.window) {
        std::fprintf(stderr, "winctl %s: no popup menu is open\n", command);
        menu.failure = kExitNoMatch;
        return menu;
    }
    try {
        std::optional<std::vector<MenuItem>> items = ReadMenuItems(menu.window, timeoutMs);
        if (!items) {
            std::fprintf(stderr, "winctl %s: the menu closed before it could be read\n", command);
            menu.failure = kExitNoMatch;
            return menu;
        }
        menu.items = std::move(*items);
    } catch (const SystemFailure& failure) {
        std::fprintf(stderr, "winctl %s: %s\n", command, failure.what());
        menu.failure = kExitFailure;
    }
    return menu;
}

void PrintLine(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace

int RunMenu(const Arguments& arguments) {
    const OpenMenu menu =
        ReadOpenMenu("menu", arguments, arguments.Milliseconds("--timeout", kDefaultTimeoutMs));
    for (const MenuItem& item : menu.items) {
        PrintLine(DescribeMenuItem(item));
    }
    return menu.failure;
}

int RunMenuChoose(const Arguments& arguments) {
    if (!arguments.Has("--text")) {
        throw UsageError("--text is required");
    }
    const std::string& text = arguments.Text("--text");
    const DWORD timeoutMs = arguments.Milliseconds("--timeout", kDefaultTimeoutMs);
    const OpenMenu menu = ReadOpenMenu("menu-choose", arguments, timeoutMs);
    if (menu.failure != kExitOk) {
        return menu.failure;
    }
    const MenuItem* item = FindItem(menu.items, text);
    if (!item) {
        std::fprintf(stderr, "winctl menu-choose: the menu has no item %s\n",
                     QuoteText(text).c_str());
        return kExitNoMatch;
    }
    if (!item->enabled) {
        std::fprintf(stderr, "winctl menu-choose: the item %s is disabled\n",
                     QuoteText(text).c_str());
        return kExitNoMatch;
    }
    // The menu's own keyboard handling: Home selects the first item, each Down the next one that
    // is not a separator (disabled ones included), Return chooses. The keys go through the menu
    // thread's queue in this order, whatever the mouse selected before.
    PostKey(menu.window, VK_HOME);
    int downs = -1;
    for (const MenuItem& before : menu.items) {
        if (!before.separator && before.index <= item->index) {
            ++downs;
        }
    }
    for (int i = 0; i < downs; ++i) {
        PostKey(menu.window, VK_DOWN);
    }
    PostKey(menu.window, VK_RETURN);
    if (!WaitUntilClosed(menu.window, timeoutMs)) {
        std::fprintf(stderr, "winctl menu-choose: the menu stayed open\n");
        return kExitNoMatch;
    }
    PrintLine(DescribeMenuItem(*item));
    return kExitOk;
}

}  // namespace winctl
