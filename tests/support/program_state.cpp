#include "support/program_state.h"

#include <algorithm>

#include "app/application.h"
#include "service/http_client.h"
#include "signin/sign_in.h"
#include "ui/ui_context.h"

void ResetProgramState() {
    TheUi().Reset();
    ResetSignInState();
    ResumeExchanges();
}

Application& TestApplication() {
    static Application application;
    return application;
}

bool InModalRun(const Window& window) {
    const auto& runs = TheUi().modalRuns;
    return std::find(runs.begin(), runs.end(), &window) != runs.end();
}
