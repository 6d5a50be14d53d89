#include "components/message_box.h"

#include <utility>

namespace {

MessageAnswer& CurrentAnswer() {
    static MessageAnswer answer;
    return answer;
}

// The box belongs to the window the user is working with, so that it stays in front of it.
HWND MessageOwner() {
    return ::GetActiveWindow();
}

}  // namespace

int ShowMessage(const std::string& text, UINT type) {
    if (CurrentAnswer()) {
        return CurrentAnswer()(text, type);
    }
    return ::MessageBoxA(MessageOwner(), text.c_str(), kApplicationTitle, type | MB_SETFOREGROUND);
}

void ShowError(const std::exception& error) {
    ShowMessage(error.what(), MB_OK | MB_ICONERROR);
}

MessageAnswerScope::MessageAnswerScope(MessageAnswer answer)
    : previous_(std::exchange(CurrentAnswer(), std::move(answer))) {}

MessageAnswerScope::~MessageAnswerScope() {
    CurrentAnswer() = std::move(previous_);
}
