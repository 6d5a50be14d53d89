#include "app/application.h"

#include "service/http_client.h"
#include "service/service_state.h"
#include "service/system_proxy.h"
#include "ui/form_table.h"
#include "ui/message_pump.h"
#include "ui/prompt.h"
#include "ui/ui_context.h"

namespace {

// Hidden and zero-sized: it exists to be found and to own the forms, which keeps them off the
// taskbar.
FormDescription ApplicationWindow(const char* title) {
    return FormDescription(kApplicationWindowClass)
        .Caption(title)
        .Style(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX)
        .Background(COLOR_BTNFACE);
}

}  // namespace

void Application::Initialize(const char* title) {
    SetMessageCaption(kApplicationTitle);
    if (!hwnd()) {
        CreateForm(ApplicationWindow(title), nullptr);
    }
    TheUi().Reset();
    ResumeExchanges();
    TheServiceState().systemProxy = MakeWindowsUserProxy();
}

void Application::Terminate() {
    RequestQuit();
    // The loops end only once the exchange they wait in returns: it is given up now, however
    // slowly its server answers.
    AbandonExchanges();
}

void Application::Run() {
    while (DispatchNextMessage(true)) {
    }
}

void Application::ProcessMessages() {
    DispatchWaitingMessages();
}

LRESULT Application::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // A close request from outside is the main form's to decide.
    const Window* mainForm = MainForm();
    if (message == WM_CLOSE && mainForm && mainForm->hwnd()) {
        ::PostMessageA(mainForm->hwnd(), WM_CLOSE, 0, 0);
        return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}
