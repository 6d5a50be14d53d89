#include "app/resource_window.h"

#include "app/application.h"

namespace {

const FormDescription kResourceWindow = {
    "TfrmResources", "-", WS_OVERLAPPEDWINDOW, 0, CW_USEDEFAULT, CW_USEDEFAULT, 419, 608,
    COLOR_BTNFACE};

}  // namespace

void TfrmResources::Create(HWND owner) {
    CreateForm(kResourceWindow, owner);
}

LRESULT TfrmResources::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        // Closing the main form ends the program.
        TheApplication().Terminate();
        return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}
