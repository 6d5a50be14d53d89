// winctl.exe: finds, inspects and drives the windows of other programs, for end-to-end tests.
// Every command prints one record per line and exits with an ExitStatus (exit_status.h).
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "arguments.h"
#include "exit_status.h"
#include "input.h"
#include "menu.h"
#include "watch.h"
#include "window_select.h"

namespace winctl {

namespace {

constexpr DWORD kPollIntervalMs = 50;

// Options every command accepts besides its own: the window selector and the desktop.
std::vector<std::string> WithCommonOptions(std::vector<std::string> options) {
    options.insert(options.begin(), kSelectorOptions.begin(), kSelectorOptions.end());
    options.push_back("--desktop");
    return options;
}

// Window enumeration, messages and hooks reach only the windows of the calling thread's desktop.
// A program started inside a Wine virtual desktop ("wine explorer /desktop=NAME,WxH prog.exe")
// lives on the desktop NAME, while winctl started from outside is on the default desktop;
// --desktop NAME moves winctl there. (A prefix whose registry makes the virtual desktop the
// default one puts every process on it, and needs no --desktop.) This must happen before winctl
// creates any window or hook.
bool EnterDesktop(const Arguments& arguments) {
    if (!arguments.Has("--desktop")) {
        return true;
    }
    const std::string& name = arguments.Text("--desktop");
    HDESK desktop = OpenDesktopA(name.c_str(), 0, FALSE, GENERIC_ALL);
    if (!desktop || !SetThreadDesktop(desktop)) {
        std::fprintf(stderr, "winctl: cannot enter the desktop \"%s\" (error %lu)\n", name.c_str(),
                     GetLastError());
        return false;
    }
    return true;
}

std::vector<HWND> FindSelected(const Arguments& arguments) {
    return FindWindows(WindowSelector::FromArguments(arguments));
}

void PrintLine(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

int RunList(const Arguments& arguments) {
    const std::vector<HWND> windows = FindSelected(arguments);
    for (HWND window : windows) {
        PrintLine(DescribeWindow(window));
    }
    return windows.empty() ? kExitNoMatch : kExitOk;
}

int RunWait(const Arguments& arguments) {
    const WindowSelector selector = WindowSelector::FromArguments(arguments);
    const bool untilGone = arguments.Has("--gone");
    const ULONGLONG deadline =
        GetTickCount64() + arguments.Milliseconds("--timeout", kDefaultTimeoutMs);
    for (;;) {
        const std::vector<HWND> windows = FindWindows(selector);
        if (untilGone && windows.empty()) {
            return kExitOk;
        }
        if (!untilGone && !windows.empty()) {
            PrintLine(DescribeWindow(windows.front()));
            return kExitOk;
        }
        if (GetTickCount64() >= deadline) {
            return kExitNoMatch;
        }
        Sleep(kPollIntervalMs);
    }
}

// The message of send and post: --msg, --wparam, --lparam.
struct MessageToDeliver {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

MessageToDeliver MessageFromArguments(const Arguments& arguments) {
    return {arguments.RequiredNumber("--msg"), arguments.Number("--wparam", 0),
            static_cast<LPARAM>(static_cast<int32_t>(arguments.Number("--lparam", 0)))};
}

int ReportLostWindow(const char* command) {
    std::fprintf(stderr, "winctl %s: the window is gone (error %lu)\n", command, GetLastError());
    return kExitNoMatch;
}

int RunSend(const Arguments& arguments) {
    const MessageToDeliver toDeliver = MessageFromArguments(arguments);
    const DWORD timeoutMs = arguments.Milliseconds("--timeout", kDefaultTimeoutMs);
    const std::vector<HWND> windows = FindSelected(arguments);
    if (windows.empty()) {
        return kExitNoMatch;
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(windows.front(), toDeliver.message, toDeliver.wParam, toDeliver.lParam,
                             SMTO_NORMAL, timeoutMs, &result)) {
        if (GetLastError() == ERROR_TIMEOUT) {
            std::fprintf(stderr, "winctl send: no answer within the timeout\n");
            return kExitNoMatch;
        }
        return ReportLostWindow("send");
    }
    PrintLine("result=" + std::to_string(static_cast<LONG>(result)));
    return kExitOk;
}

int PostToFirst(const Arguments& arguments, const char* command,
                const MessageToDeliver& toDeliver) {
    const std::vector<HWND> windows = FindSelected(arguments);
    if (windows.empty()) {
        return kExitNoMatch;
    }
    if (!PostMessageA(windows.front(), toDeliver.message, toDeliver.wParam, toDeliver.lParam)) {
        return ReportLostWindow(command);
    }
    return kExitOk;
}

int RunPost(const Arguments& arguments) {
    return PostToFirst(arguments, "post", MessageFromArguments(arguments));
}

int RunClose(const Arguments& arguments) {
    return PostToFirst(arguments, "close", MessageToDeliver{WM_CLOSE, 0, 0});
}

// Shows the first match and makes it the active foreground window, as a user's click would.
BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    PrintLine(DescribeChild(child));
    return TRUE;
}

int RunChildren(const Arguments& arguments) {
    const std::vector<HWND> windows = FindSelected(arguments);
    if (windows.empty()) {
        return kExitNoMatch;
    }
    EnumChildWindows(windows.front(), &PrintChild, 0);
    return kExitOk;
}

int RunActivate(const Arguments& arguments) {
    const std::vector<HWND> windows = FindSelected(arguments);
    if (windows.empty()) {
        return kExitNoMatch;
    }
    ShowWindow(windows.front(), SW_SHOW);
    SetForegroundWindow(windows.front());
    return kExitOk;
}

int RunForeground(const Arguments&) {
    HWND window = GetForegroundWindow();
    if (!window) {
        return kExitNoMatch;
    }
    PrintLine(DescribeWindow(window));
    return kExitOk;
}

struct Command {
    const char* name;
    const char* usage;  // what follows the name
    std::vector<std::string> options;
    int (*run)(const Arguments&);
};

// New commands (clicking controls, choosing tray menu items, answering message boxes) are added
// here, with the options they accept; the selector options mean the same for all of them.
const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"list", "[selector]", WithCommonOptions({}), RunList},
        {"wait", "[selector] [--gone] [--timeout SECONDS]",
         WithCommonOptions({"--gone", "--timeout"}), RunWait},
        {"send", "[selector] --msg N [--wparam N] [--lparam N] [--timeout SECONDS]",
         WithCommonOptions({"--msg", "--wparam", "--lparam", "--timeout"}), RunSend},
        {"post", "[selector] --msg N [--wparam N] [--lparam N]",
         WithCommonOptions({"--msg", "--wparam", "--lparam"}), RunPost},
        {"close", "[selector]", WithCommonOptions({}), RunClose},
        {"watch", "[selector] --msg N [--timeout SECONDS] [--count K]",
         WithCommonOptions({"--msg", "--timeout", "--count"}), RunWatch},
        {"activate", "[selector]", WithCommonOptions({}), RunActivate},
        {"children", "[selector]: the first window's child windows, all levels",
         WithCommonOptions({}), RunChildren},
        {"foreground", "", {"--desktop"}, RunForeground},
        {"menu", "[--pid N] [--timeout SECONDS]", {"--pid", "--timeout", "--desktop"}, RunMenu},
        {"type", "--text TEXT [--delay MS]", {"--text", "--delay", "--desktop"}, RunType},
        {"click",
         "--x X --y Y [--button right]",
         {"--x", "--y", "--button", "--desktop"},
         RunClick},
        {"menu-choose",
         "[--pid N] --text CAPTION [--timeout SECONDS]",
         {"--pid", "--text", "--timeout", "--desktop"},
         RunMenuChoose},
    };
    return commands;
}

void PrintUsage(FILE* stream) {
    std::fprintf(stream, "usage: winctl COMMAND [options]\n");
    for (const Command& command : Commands()) {
        std::fprintf(stream, "  winctl %s %s\n", command.name, command.usage);
    }
    std::fprintf(stream,
                 "selector: [--hwnd 0xHEX] [--class NAME] [--title TEXT] [--pid N] [--visible]\n"
                 "every command also takes [--desktop NAME]: work on that desktop\n"
                 "numbers: decimal or 0x-hex; exit status: 0 done, 1 no match or timed out,\n"
                 "2 wrong usage, 3 the system refused an operation\n");
}

const Command* FindCommand(const std::string& name) {
    for (const Command& command : Commands()) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}

}  // namespace

}  // namespace winctl

int main(int argc, char** argv) {
    using namespace winctl;
    if (argc < 2) {
        PrintUsage(stderr);
        return kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "help" || name == "--help") {
        PrintUsage(stdout);
        return kExitOk;
    }
    const Command* command = FindCommand(name);
    if (!command) {
        std::fprintf(stderr, "winctl: unknown command \"%s\"\n", name.c_str());
        PrintUsage(stderr);
        return kExitUsage;
    }
    try {
        const Arguments arguments(argc, argv, 2, command->options);
        return EnterDesktop(arguments) ? command->run(arguments) : kExitFailure;
    } catch (const UsageError& error) {
        std::fprintf(stderr, "winctl %s: %s\nusage: winctl %s %s\n", command->name, error.what(),
                     command->name, command->usage);
        return kExitUsage;
    }
}
