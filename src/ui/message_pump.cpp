#include "ui/message_pump.h"

#include <algorithm>
#include <vector>

#include "ui/ui_context.h"
#include "ui/window.h"

namespace {

std::vector<const PreTranslateHook*>& Hooks() {
    return TheUi().preTranslateHooks;
}

bool IsKeyboardMessage(const MSG& message) {
    return message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
}

// The keys of the form that holds the focused control (Tab, Enter, Esc and the like).
bool TranslateFormKeys(MSG& message) {
    if (!IsKeyboardMessage(message) || !message.hwnd) {
        return false;
    }
    Window* form = Window::FromHandle(::GetAncestor(message.hwnd, GA_ROOT));
    return form && form->PreTranslateMessage(message);
}

bool PreTranslate(MSG& message) {
    // A hook may remove itself while it runs; the copy keeps the walk valid.
    const std::vector<const PreTranslateHook*> hooks = Hooks();
    for (const PreTranslateHook* hook : hooks) {
        if ((*hook)(message)) {
            return true;
        }
    }
    return TranslateFormKeys(message);
}

}  // namespace

bool DispatchNextMessage(bool wait) {
    bool& quitRequested = TheUi().quitRequested;
    if (quitRequested) {
        return false;
    }
    MSG message;
    if (wait) {
        if (::GetMessageA(&message, nullptr, 0, 0) <= 0) {
            quitRequested = true;
            return false;
        }
    } else if (!::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    } else if (message.message == WM_QUIT) {
        quitRequested = true;
        return false;
    }
    if (!PreTranslate(message)) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return !quitRequested;
}

bool DispatchWaitingMessages() {
    while (DispatchNextMessage(false)) {
    }
    return !QuitRequested();
}

void RequestQuit() {
    TheUi().quitRequested = true;
    ::PostQuitMessage(0);
}

bool QuitRequested() {
    return TheUi().quitRequested;
}

PreTranslateHook::PreTranslateHook(std::function<bool(MSG&)> hook) : hook_(std::move(hook)) {
    Hooks().push_back(this);
}

PreTranslateHook::~PreTranslateHook() {
    Hooks().erase(std::remove(Hooks().begin(), Hooks().end(), this), Hooks().end());
}
