#include "ui/ui_context.h"

namespace {

// The one instance: the system's window procedures and hooks, which carry no pointer of ours,
// reach it here. At namespace scope, so that it is made before and outlives every window object
// of the process, whose last messages still reach it.
UiContext theUi;

}  // namespace

UiContext::UiContext() = default;

UiContext::~UiContext() = default;

void UiContext::Reset() {
    quitRequested = false;
    MSG quit;
    while (::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    screenCursor = ScreenCursor::Default;
}

UiContext& TheUi() {
    return theUi;
}
