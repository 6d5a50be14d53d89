#include "support/program_state.h"

#include <algorithm>

#include "ui/ui_context.h"

void ResetProgramState() {
    TheUi().Reset();
}

bool InModalRun(const Window& window) {
    const auto& runs = TheUi().modalRuns;
    return std::find(runs.begin(), runs.end(), &window) != runs.end();
}
