#include "ui/modal.h"

#include <utility>

#include "ui/top_level_message.h"
#include "ui/window.h"

namespace {

const char* messageCaption = "";

PromptAnswers& CurrentAnswers() {
    static PromptAnswers answers;
    return answers;
}

}  // namespace

void SetMessageCaption(const char* caption) {
    messageCaption = caption;
}

int ShowMessage(const std::string& text, UINT type) {
    if (CurrentAnswers().message) {
        return CurrentAnswers().message(text, type);
    }
    const ForeignWindowWatchScope watchTheBox;
    // The box belongs to the window the user is working with, so that it stays in front of it.
    return ::MessageBoxA(::GetActiveWindow(), text.c_str(), messageCaption,
                         type | MB_SETFOREGROUND);
}

void ShowError(const std::exception& error) {
    ShowMessage(error.what(), MB_OK | MB_ICONERROR);
}

int ShowModal(Window& window) {
    if (CurrentAnswers().modal) {
        return CurrentAnswers().modal(window);
    }
    return window.RunModalLoop();
}

PromptAnswerScope::PromptAnswerScope(PromptAnswers answers)
    : previous_(std::exchange(CurrentAnswers(), std::move(answers))) {}

PromptAnswerScope::~PromptAnswerScope() {
    CurrentAnswers() = std::move(previous_);
}
