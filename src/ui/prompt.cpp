#include "ui/prompt.h"

#include <utility>

#include "ui/top_level_message.h"
#include "ui/ui_context.h"

namespace {

class StandingErrorBox {
  public:
    StandingErrorBox() { TheUi().errorBoxStands = true; }
    StandingErrorBox(const StandingErrorBox&) = delete;
    StandingErrorBox& operator=(const StandingErrorBox&) = delete;
    ~StandingErrorBox() { TheUi().errorBoxStands = false; }
};

PromptAnswers& Answers() {
    return TheUi().promptAnswers;
}

}  // namespace

void SetMessageCaption(const char* caption) {
    TheUi().messageCaption = caption;
}

int ShowMessage(const std::string& text, UINT type) {
    if (Answers().message) {
        return Answers().message(text, type);
    }
    const ForeignWindowWatchScope watchTheBox;
    // The box belongs to the window the user is working with, so that it stays in front of it.
    return ::MessageBoxA(::GetActiveWindow(), text.c_str(), TheUi().messageCaption,
                         type | MB_SETFOREGROUND);
}

void ShowError(const std::exception& error) {
    // An error raised while the box stands (a paint of the window under it, say, failing again)
    // is dropped: shown, it would open a box inside the box, and so on with each repaint.
    if (TheUi().errorBoxStands) {
        return;
    }
    const StandingErrorBox standing;
    ShowMessage(error.what(), MB_OK | MB_ICONERROR);
}

const PromptAnswers& CurrentPromptAnswers() {
    return Answers();
}

PromptAnswerScope::PromptAnswerScope(PromptAnswers answers)
    : previous_(std::exchange(Answers(), std::move(answers))) {}

PromptAnswerScope::~PromptAnswerScope() {
    Answers() = std::move(previous_);
}
