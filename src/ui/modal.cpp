#include "ui/modal.h"

#include <algorithm>
#include <vector>

#include "ui/message_pump.h"
#include "ui/top_level_message.h"
#include "ui/ui_context.h"

namespace {

struct DisabledWindows {
    HWND modal;
    std::vector<HWND> windows;
};

BOOL CALLBACK DisableUnlessModal(HWND window, LPARAM lParam) {
    auto* disabled = reinterpret_cast<DisabledWindows*>(lParam);
    if (window != disabled->modal && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
        ::EnableWindow(window, FALSE);
        disabled->windows.push_back(window);
    }
    return TRUE;
}

std::vector<Window*>& ModalRuns() {
    return TheUi().modalRuns;
}

// The thread's enabled, visible top-level windows other than the modal one: a modal run disables
// them, as the user must answer it first.
std::vector<HWND> DisableOtherWindows(HWND modal) {
    DisabledWindows disabled{modal, {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), &DisableUnlessModal,
                        reinterpret_cast<LPARAM>(&disabled));
    return disabled.windows;
}

}  // namespace

int ShowModal(Window& window) {
    if (CurrentPromptAnswers().modal) {
        return CurrentPromptAnswers().modal(window);
    }
    return RunModalLoop(window);
}

int RunModalLoop(Window& window) {
    window.modalResult_ = 0;
    window.modal_ = true;
    ModalRuns().push_back(&window);
    const std::vector<HWND> disabled = DisableOtherWindows(window.hwnd());
    window.Show();
    // A modal window may open windows of the system's (a hosted control's, a box of its own).
    // Watched from here on, so that its own controls, made at its first showing, are made
    // without the hook's cost.
    const ForeignWindowWatchScope watchItsWindows;
    while (window.modalResult_ == 0) {
        if (!DispatchNextMessage(true) && QuitRequested()) {
            // The program is ending; the enclosing loops see the same flag.
            window.modalResult_ = kModalClosedByProgram;
        }
    }
    for (HWND other : disabled) {
        if (::IsWindow(other)) {
            ::EnableWindow(other, TRUE);
        }
    }
    window.Hide();
    window.modal_ = false;
    ModalRuns().erase(std::find(ModalRuns().begin(), ModalRuns().end(), &window));
    return window.modalResult_;
}

void EndModalRuns(int result) {
    for (Window* window : ModalRuns()) {
        window->Hide();
        window->SetModalResult(result);
    }
}
