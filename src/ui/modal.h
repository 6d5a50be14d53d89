#pragma once
// Modal windows: every one the user sees runs through ShowModal, which tests can answer
// (PromptAnswers), as they answer message boxes.

#include "ui/prompt.h"
#include "ui/window.h"

// Runs the window modally until its modal result is set, and returns that result.
int ShowModal(Window& window);

// Shows the window, keeps the application's other windows disabled and dispatches messages until
// a modal result is set or the program ends; hides the window and returns the result. ShowModal
// runs it unless a test answers.
int RunModalLoop(Window& window);

// Hides every window in a modal run and ends the run with the result.
void EndModalRuns(int result);
