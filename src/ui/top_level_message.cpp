#include "ui/top_level_message.h"

#include <utility>

#include "ui/ui_context.h"
#include "ui/window_class.h"

namespace {

bool IsTopLevel(HWND window) {
    return (::GetWindowLongA(window, GWL_STYLE) & WS_CHILD) == 0;
}

void Receive(HWND window, UINT message, WPARAM wParam) {
    // Controls use the same number for messages of their own; the one watched goes to a
    // top-level window.
    const UiContext& ui = TheUi();
    if (ui.watchedReceived && message == ui.watchedMessage && IsTopLevel(window)) {
        ui.watchedReceived(wParam);
    }
}

LRESULT CALLBACK WatchForeignWindows(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    // The client's own windows report from their procedure.
    if (code == HC_ACTION && !WindowClass::IsClientWindow(sent->hwnd)) {
        Receive(sent->hwnd, sent->message, sent->wParam);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TopLevelMessageWatch::TopLevelMessageWatch(UINT message, std::function<void(WPARAM)> received) {
    UiContext& ui = TheUi();
    ui.watchedMessage = message;
    ui.watchedReceived = std::move(received);
}

TopLevelMessageWatch::~TopLevelMessageWatch() {
    UiContext& ui = TheUi();
    ui.watchedMessage = 0;
    ui.watchedReceived = nullptr;
}

void ReportTopLevelMessage(HWND window, UINT message, WPARAM wParam) {
    if (message == TheUi().watchedMessage) {
        Receive(window, message, wParam);
    }
}

ForeignWindowWatchScope::ForeignWindowWatchScope() {
    UiContext& ui = TheUi();
    if (ui.foreignWatchScopes++ == 0) {
        ui.foreignWatchHook.reset(::SetWindowsHookExA(WH_CALLWNDPROC, &WatchForeignWindows, nullptr,
                                                      ::GetCurrentThreadId()));
    }
}

ForeignWindowWatchScope::~ForeignWindowWatchScope() {
    UiContext& ui = TheUi();
    if (--ui.foreignWatchScopes == 0) {
        ui.foreignWatchHook.reset();
    }
}
