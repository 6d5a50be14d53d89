#pragma once
// Every message the user sees goes through ShowMessage, so that tests can answer and record it
// instead of a person.

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

inline constexpr const char* kApplicationTitle = "MURLOX";

// Shows a modal message box with the application title as caption and returns the button
// pressed (IDOK, IDYES, ...).
int ShowMessage(const std::string& text, UINT type = MB_OK);

// The application's top-level error display: shows the error's own text.
void ShowError(const std::exception& error);

// Replaces the message box while the returned guard lives; the answer function receives the text
// and the box type and returns the button to report.
using MessageAnswer = std::function<int(const std::string& text, UINT type)>;

class MessageAnswerScope {
  public:
    explicit MessageAnswerScope(MessageAnswer answer);
    MessageAnswerScope(const MessageAnswerScope&) = delete;
    MessageAnswerScope& operator=(const MessageAnswerScope&) = delete;
    ~MessageAnswerScope();

  private:
    MessageAnswer previous_;
};
