#include "ui/error_guard.h"

#include "ui/prompt.h"

void ShowDispatchError(const std::exception& error) noexcept {
    try {
        ShowError(error);
    } catch (...) {
        // Nothing is left to tell the user with; the program goes on all the same.
    }
}
