#include "support/program_state.h"

#include "ui/ui_context.h"

void ResetProgramState() {
    TheUi().Reset();
}
