#include "app/main_instance.h"

#include <string>
#include <utility>

#include "app/command_line.h"
#include "app/window_messages.h"
#include "ui/error_guard.h"
#include "ui/win_handles.h"

namespace {

// What the enumeration callback looks for and finds.
struct InstanceSearch {
    char ownTitle[256] = {};
    char ownClassName[256] = {};
    HWND ownWindow = nullptr;
    int matchCount = 0;
    HWND otherWindow = nullptr;
};

void CountInstance(HWND window, InstanceSearch& search) {
    char className[256] = "";
    char title[256] = "";
    if (::GetClassNameA(window, className, sizeof(className)) == 0 ||
        lstrcmpA(className, search.ownClassName) != 0) {
        return;
    }
    ::GetWindowTextA(window, title, sizeof(title));
    if (lstrcmpA(title, search.ownTitle) != 0) {
        return;
    }
    ++search.matchCount;
    if (window != search.ownWindow) {
        search.otherWindow = window;
    }
}

// How long a second start waits for the running instance to take what it hands over. One that has
// not taken it by then does not answer: the second start ends without it.
constexpr UINT kHandOverTimeoutMs = 5000;

// Hands the arguments to the running instance; with none (or more than an atom holds) only asks
// whether it answers. False when it did not answer in time. The atom goes with the call, so that a
// copy that takes the message later finds no text.
bool HandOverArguments(HWND target) {
    const std::string text = HandOverText(::GetCommandLineA());
    const UniqueGlobalAtom atom(text.empty() ? ATOM{0} : ::GlobalAddAtomA(text.c_str()));
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(target, atom ? kHandOverMessage : WM_NULL, atom.get(), 0,
                                 SMTO_ABORTIFHUNG, kHandOverTimeoutMs, &result) != 0;
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

}  // namespace

TMainInstance::TMainInstance(HWND applicationWindow, std::function<void()> uninstallHandedOver) {
    InstanceSearch search;
    search.ownWindow = applicationWindow;
    ::GetWindowTextA(applicationWindow, search.ownTitle, sizeof(search.ownTitle));
    ::GetClassNameA(applicationWindow, search.ownClassName, sizeof(search.ownClassName));
    // Only top-level windows of the own class and title can count, and the system finds those
    // itself in the same order: reading the class and title of every top-level window took 2-3 ms
    // under Wine. It compares without regard to case, so each is compared exactly as well.
    for (HWND window = nullptr; (window = ::FindWindowExA(nullptr, window, search.ownClassName,
                                                          search.ownTitle)) != nullptr;) {
        CountInstance(window, search);
    }
    if (search.matchCount < 2 || !search.otherWindow) {
        // The hand-over reaches whichever window of this process was last active, a message box
        // of the system included.
        receiver_ = std::make_unique<TopLevelMessageWatch>(
            kHandOverMessage, [uninstallHandedOver = std::move(uninstallHandedOver)](WPARAM atom) {
                RunGuarded([&] {
                    if (HasSwitch(HandedOverText(atom), kUninstallSwitch)) {
                        uninstallHandedOver();
                    }
                });
            });
        return;
    }
    anotherInstanceRuns_ = true;
    HWND target = ::GetLastActivePopup(search.otherWindow);
    // A copy that does not answer is left alone: bringing its windows to the front would wait on
    // its thread as well.
    if (!HandOverArguments(target)) {
        return;
    }
    ::BringWindowToTop(search.otherWindow);
    if (::IsIconic(target)) {
        ::ShowWindow(target, SW_RESTORE);
    } else {
        ::SetForegroundWindow(target);
    }
}
