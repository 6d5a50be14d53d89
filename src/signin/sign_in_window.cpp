#include "signin/sign_in_window.h"

#include <string>

#include "components/window_drag.h"
#include "service/page_addresses.h"
#include "service/session_pages.h"
#include "settings/settings_record.h"
#include "settings/text_convert.h"
#include "signin/sign_in.h"
#include "signin/sign_in_entry.h"
#include "signin/sign_in_owner.h"
#include "ui/dpi.h"
#include "ui/font.h"
#include "ui/prompt.h"
#include "ui/screen_cursor.h"

TfrmRegisterLogin* frmRegisterLogin = nullptr;

namespace {

constexpr FormDescription kForm = FormDescription("TfrmRegisterLogin")
                                      .Caption("Sign in")
                                      .Style(WS_POPUP | WS_CAPTION | WS_SYSMENU)
                                      .ExStyle(WS_EX_TOPMOST)
                                      .At(402, 276)
                                      .ClientSize(279, 252);

constexpr COLORREF kLinkColor = 7079679;  // red 255, green 6, blue 108
constexpr int kEditWidth = 177;
constexpr int kEditHeight = 21;
// The caption of an edit stands this far above it.
constexpr int kEditLabelSpacing = 3;

}  // namespace

void TfrmRegisterLogin::Create(HWND owner) {
    CreateDialogForm(kForm, owner);
}

void TfrmRegisterLogin::CreateControls() {
    const int dpi = WindowDpi(hwnd());
    boldFont_ = CreatePointFont("Verdana", 8, fsBold, dpi);
    linkFont_ = CreatePointFont("Verdana", 8, fsBold | fsUnderline, dpi);
    helpFont_ = CreatePointFont("Verdana", 8, fsUnderline, dpi);
    editFont_ = CreatePointFont("MS Sans Serif", 8, 0, dpi);
    const COLORREF shadow = ::GetSysColor(COLOR_3DDKSHADOW);
    const COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
    Label1.Create(hwnd(), 8, 8, "Sign in with your MURLOX account!",
                  static_cast<HFONT>(boldFont_.get()), shadow);
    Label4.Create(hwnd(), 8, 32, "If you do not have a MURLOX account yet,", Font(), text);
    Label2.Create(hwnd(), 8, 48, "GET A MURLOX ACCOUNT HERE!", static_cast<HFONT>(linkFont_.get()),
                  kLinkColor);
    Label2.OnMouseMove = [](POINT) { SetScreenCursor(ScreenCursor::HandPoint); };
    Label2.SetLink([this] { OpenPage(RegisterPageAddress(), hwnd()); });

    CreateLabeledEdit(lblUsername, txtUsername, 90, "e-mail:", false);
    CreateLabeledEdit(lblPassword, txtPassword, 130, "password:", true);

    imgGo.Create(hwnd(), 216, 97, 44, 44);
    imgGo.SetAutoSize(true);
    imgGo.SetTransparent(true);
    imgGo.OnMouseMove = [this](POINT) { imgGoMouseMove(); };
    imgGo.OnClick = [this] { imgGoClick(); };
    imgGo.SetAccessible(AccessiblePushButton("Sign in", [this] { imgGoClick(); }));
    imgGo.SetTabStop();

    chkStartWithWindows.Create(hwnd(), 8, 156, 265, 17, "Start MURLOX when my computer starts.");
    chkAutoSignin.Create(
        hwnd(), 8, 180, 265, 33,
        "Remember my e-mail and password and sign in automatically when MURLOX starts.", true);
    for (CheckBox* box : {&chkStartWithWindows, &chkAutoSignin}) {
        box->SetFont(Font());
        box->SetColors(text, ::GetSysColor(COLOR_WINDOW));
    }

    Label3.Create(hwnd(), 8, 228, "Help", static_cast<HFONT>(helpFont_.get()), kLinkColor);
    Label3.OnMouseMove = [](POINT) { SetScreenCursor(ScreenCursor::HandPoint); };
    Label3.SetLink([this] { OpenPage(HelpPageAddress(), hwnd()); });
}

void TfrmRegisterLogin::CreateLabeledEdit(Label& label, Edit& edit, int top, const char* caption,
                                          bool password) {
    label.Create(hwnd(), 8, 0, caption, Font(), ::GetSysColor(COLOR_WINDOWTEXT));
    const RECT bounds = label.Bounds();
    const int labelHeight = bounds.bottom - bounds.top;
    // The label's height is its text's, in pixels; the rest is the design's, scaled.
    const int dpi = WindowDpi(hwnd());
    label.SetBounds(bounds.left, Scaled(top - kEditLabelSpacing, dpi) - labelHeight,
                    bounds.right - bounds.left, labelHeight);
    edit.Create(hwnd(), 8, top, kEditWidth, kEditHeight, password);
    edit.SetAccessible(AccessibleEdit(NameFromLabel(caption)));
    edit.SetFont(static_cast<HFONT>(editFont_.get()));
    edit.SetColors(::GetSysColor(COLOR_3DDKSHADOW), ::GetSysColor(COLOR_WINDOW));
}

void TfrmRegisterLogin::FormShow() {
    const SignInFormValues values =
        SignInFormOnShow(settingsabsent, recSETTINGS.autostart, recSETTINGS.autologin,
                         recSETTINGS.nickname, recSETTINGS.password);
    txtUsername.SetText(values.username);
    txtPassword.SetText(values.password);
    chkStartWithWindows.SetChecked(values.startWithWindows);
    chkAutoSignin.SetChecked(values.autoSignIn);
    FocusOnActivate(txtUsername.hwnd());
    txtUsername.SetFocus();
}

void TfrmRegisterLogin::imgGoClick() {
    const std::string nickname(TrimBlanks(txtUsername.Text()));
    const std::string password(TrimBlanks(txtPassword.Text()));
    txtUsername.SetText(nickname);
    txtPassword.SetText(password);
    // Stored before the checks: a refused entry keeps what the user chose.
    recSETTINGS.password = password;
    recSETTINGS.nickname = nickname;
    recSETTINGS.autostart = chkStartWithWindows.Checked();
    recSETTINGS.autologin = chkAutoSignin.Checked();
    const std::string refusal = SignInEntryMessage(nickname, password);
    if (!refusal.empty()) {
        ShowMessage(refusal);
        return;
    }
    FormClose();
    StartSignIn(stSignInWindow);
}

void TfrmRegisterLogin::FormClose() {
    TheSignInOwner().SetLogo(true);
    Hide();
    SetModalResult(kModalClosedByProgram);
}

void TfrmRegisterLogin::imgGoMouseMove() {
    imgGo.BeginHover();
}

void TfrmRegisterLogin::FormMouseMove() {
    if (CurrentScreenCursor() != ScreenCursor::Default) {
        SetScreenCursor(ScreenCursor::Default);
    }
    imgGo.EndHover();
}

LRESULT TfrmRegisterLogin::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            FormMouseMove();
            break;
        case WM_LBUTTONDOWN:
            BeginWindowDrag(*this, MouseButton::Left);
            return 0;
        case WM_CLOSE:
            FormClose();
            return 0;
    }
    return DialogForm::HandleMessage(message, wParam, lParam);
}

void TfrmRegisterLogin::SetButtonPictures(const Picture& normal, const Picture& hover) {
    imgGo.SetButtonPictures(normal, hover);
}
