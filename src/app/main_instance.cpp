#include "app/main_instance.h"

#include <string>
#include <utility>

#include "app/command_line.h"
#include "components/error_guard.h"

namespace {

// Shared with the enumeration callback; the test runs once per process.
struct InstanceSearch {
    char ownTitle[256] = {};
    char ownClassName[256] = {};
    HWND ownWindow = nullptr;
    int matchCount = 0;
    HWND otherWindow = nullptr;
};
InstanceSearch search;

// The running instance, whose hook receives the hand-overs of later starts.
TMainInstance* receivingInstance = nullptr;

BOOL CALLBACK CountInstance(HWND window, LPARAM) {
    char className[256] = "";
    char title[256] = "";
    if (::GetClassNameA(window, className, sizeof(className)) == 0 ||
        lstrcmpA(className, search.ownClassName) != 0) {
        return TRUE;
    }
    ::GetWindowTextA(window, title, sizeof(title));
    if (lstrcmpA(title, search.ownTitle) != 0) {
        return TRUE;
    }
    ++search.matchCount;
    if (window != search.ownWindow) {
        search.otherWindow = window;
    }
    return TRUE;
}

void HandOverArguments(HWND target) {
    const std::string text = HandOverText(::GetCommandLineA());
    if (text.empty()) {
        return;
    }
    UniqueGlobalAtom atom(::GlobalAddAtomA(text.c_str()));
    if (atom) {
        ::SendMessageA(target, kHandOverMessage, atom.get(), 0);
    }
}

std::string HandedOverText(WPARAM atom) {
    // String atoms are numbered from MAXINTATOM up; a smaller value names no text.
    if (atom < MAXINTATOM || atom > 0xFFFF) {
        return {};
    }
    char text[256] = "";
    const UINT length = ::GlobalGetAtomNameA(static_cast<ATOM>(atom), text, sizeof(text));
    return std::string(text, length);
}

bool IsTopLevel(HWND window) {
    return (::GetWindowLongA(window, GWL_STYLE) & WS_CHILD) == 0;
}

}  // namespace

TMainInstance::TMainInstance(HWND applicationWindow, std::function<void()> uninstallHandedOver)
    : uninstallHandedOver_(std::move(uninstallHandedOver)) {
    search = InstanceSearch{};
    search.ownWindow = applicationWindow;
    ::GetWindowTextA(applicationWindow, search.ownTitle, sizeof(search.ownTitle));
    ::GetClassNameA(applicationWindow, search.ownClassName, sizeof(search.ownClassName));
    ::EnumWindows(&CountInstance, 0);
    if (search.matchCount < 2 || !search.otherWindow) {
        // The hand-over reaches whichever window of this process was last active, a message box
        // of the system included, so a hook on this thread looks at it before any window does.
        receivingInstance = this;
        receiver_.reset(::SetWindowsHookExA(WH_CALLWNDPROC, &TMainInstance::ReceiveHandOver,
                                            nullptr, ::GetCurrentThreadId()));
        return;
    }
    anotherInstanceRuns_ = true;
    HWND target = ::GetLastActivePopup(search.otherWindow);
    HandOverArguments(target);
    ::BringWindowToTop(search.otherWindow);
    if (::IsIconic(target)) {
        ::ShowWindow(target, SW_RESTORE);
    } else {
        ::SetForegroundWindow(target);
    }
}

TMainInstance::~TMainInstance() {
    if (receivingInstance == this) {
        receivingInstance = nullptr;
    }
}

LRESULT CALLBACK TMainInstance::ReceiveHandOver(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    // Controls use the same message number for messages of their own; a hand-over goes to a
    // top-level window.
    if (code == HC_ACTION && sent->message == kHandOverMessage && receivingInstance &&
        IsTopLevel(sent->hwnd) && HasSwitch(HandedOverText(sent->wParam), kUninstallSwitch)) {
        RunGuarded(receivingInstance->uninstallHandedOver_);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
