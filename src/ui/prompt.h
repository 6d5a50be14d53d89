#pragma once
// Every message box the user sees goes through this one place, and so does every modal window
// (ui/modal.h), so that tests can answer them instead of a person.

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

#include "ui/ui_context.h"

class Window;

// The caption of every message box, the application's title: set by the application at start-up.
void SetMessageCaption(const char* caption);

// Shows a modal message box with the message caption and returns the button pressed (IDOK,
// IDYES, ...).
int ShowMessage(const std::string& text, UINT type = MB_OK);

// The application's top-level error display: shows the error's own text. An error raised while
// its box stands is not shown.
void ShowError(const std::exception& error);

// While it lives, message boxes and modal windows are answered by PromptAnswers (ui/ui_context.h)
// instead of a person.
class PromptAnswerScope {
  public:
    explicit PromptAnswerScope(PromptAnswers answers);
    PromptAnswerScope(const PromptAnswerScope&) = delete;
    PromptAnswerScope& operator=(const PromptAnswerScope&) = delete;
    ~PromptAnswerScope();

  private:
    PromptAnswers previous_;
};

// The answers in force now.
const PromptAnswers& CurrentPromptAnswers();
