#include "app/application.h"

#include "app/forms.h"
#include "app/resource_window.h"
#include "components/modal.h"

namespace {

// Hidden and zero-sized: it exists to be found and to own the forms, which keeps them off the
// taskbar.
FormDescription ApplicationWindow(const char* title) {
    return {kApplicationWindowClass,
            title,
            WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
            0,
            0,
            0,
            0,
            0,
            COLOR_BTNFACE};
}

void Dispatch(const MSG& message) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
}

}  // namespace

Application& TheApplication() {
    static Application application;
    return application;
}

void Application::Initialize(const char* title) {
    if (!hwnd()) {
        CreateForm(ApplicationWindow(title), nullptr);
    }
    terminated_ = false;
}

void Application::Terminate() {
    terminated_ = true;
    ::PostQuitMessage(0);
}

void Application::Run() {
    MSG message;
    while (!terminated_ && ::GetMessageA(&message, nullptr, 0, 0) > 0) {
        Dispatch(message);
    }
    terminated_ = true;
}

void Application::ProcessMessages() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            terminated_ = true;
            return;
        }
        Dispatch(message);
    }
}

LRESULT Application::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // A close request from outside is the main form's to decide.
    if (message == WM_CLOSE && frmResources) {
        ::PostMessageA(frmResources->hwnd(), WM_CLOSE, 0, 0);
        return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}
