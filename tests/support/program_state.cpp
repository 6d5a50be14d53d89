#include "support/program_state.h"

#include <algorithm>

#include "service/http_client.h"
#include "signin/sign_in.h"
#include "ui/ui_context.h"

void ResetProgramState() {
    TheUi().Reset();
    ResetSignInState();
    ResumeExchanges();
}

bool InModalRun(const Window& window) {
    const auto& runs = TheUi().modalRuns;
    return std::find(runs.begin(), runs.end(), &window) != runs.end();
}
