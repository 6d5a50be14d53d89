#include "signin/connection_failure_window.h"

#include "signin/sign_in_owner.h"
#include "ui/dpi.h"
#include "ui/font.h"

TfrmPopop* frmPopop = nullptr;

namespace {

constexpr FormDescription kForm = FormDescription("TfrmPopop")
                                      .Caption("Connection failure")
                                      .Style(WS_POPUP | WS_CAPTION)
                                      .ExStyle(WS_EX_TOOLWINDOW | WS_EX_TOPMOST)
                                      .At(201, 233)
                                      .ClientSize(420, 85)
                                      .Background(COLOR_BTNFACE);

}  // namespace

void TfrmPopop::Create(HWND owner) {
    // The application icon comes with the window class, as for every window of the client.
    CreateDialogForm(kForm, owner);
}

void TfrmPopop::CreateControls() {
    linkFont_ = CreatePointFont("Verdana", 8, fsUnderline, WindowDpi(hwnd()));
    const COLORREF text = ::GetSysColor(COLOR_BTNTEXT);
    Label1.CreateWrapped(hwnd(), 8, 8, 402, 26,
                         "Please make sure you are connected to the Internet and try again. If "
                         "you are behind a firewall or if the problem persists please check your ",
                         Font(), text);
    Label2.Create(hwnd(), 8, 34, "proxy settings", static_cast<HFONT>(linkFont_.get()),
                  RGB(0, 0, 255));
    Label2.SetHandCursor(true);
    Label2.SetLink([this] { Label2Click(); });
    Label3.Create(hwnd(), 93, 34, "or contact your system administrator.", Font(), text);
    cmdClose.Create(hwnd(), 170, 56, 80, 25, "OK");
    cmdClose.SetFont(Font());
    cmdClose.OnClick = [this] { cmdCloseClick(); };
    FocusOnActivate(cmdClose.hwnd());
}

void TfrmPopop::cmdCloseClick() {
    SignInOwner& owner = TheSignInOwner();
    owner.RestoreSignInImage();
    owner.SetLogo(true);
    SetModalResult(kModalDone);
    Hide();
}

void TfrmPopop::Label2Click() {
    SignInOwner& owner = TheSignInOwner();
    owner.SetLogo(true);
    Hide();
    owner.ShowProxySettings();
    SetModalResult(kModalDone);
}
