#pragma once
// Every message box the user sees goes through this one place, and so does every modal window
// (ui/modal.h), so that tests can answer them instead of a person.

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

class Window;

// The caption of every message box, the application's title: set by the application at start-up.
void SetMessageCaption(const char* caption);

// Shows a modal message box with the message caption and returns the button pressed (IDOK,
// IDYES, ...).
int ShowMessage(const std::string& text, UINT type = MB_OK);

// The application's top-level error display: shows the error's own text. An error raised while
// its box stands is not shown.
void ShowError(const std::exception& error);

// While it lives, message boxes and modal windows are answered by these functions instead of a
// person: the message answer gets the text and box type and returns the button; the modal
// answer gets the window and returns its modal result. An empty function leaves that kind to
// the user.
struct PromptAnswers {
    std::function<int(const std::string& text, UINT type)> message;
    std::function<int(Window& window)> modal;
};

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
