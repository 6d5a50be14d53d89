#include "app/main_window.h"

#include <functional>

#include "app/application.h"
#include "app/command_line.h"
#include "app/main_window_place.h"
#include "app/menu_state.h"
#include "app/window_messages.h"
#include "components/window_drag.h"
#include "resource_ids.h"
#include "service/download_window.h"
#include "service/page_addresses.h"
#include "service/session_pages.h"
#include "settings/settings_record.h"
#include "signin/sign_in.h"
#include "ui/dialog_keys.h"
#include "ui/dpi.h"
#include "ui/font.h"
#include "ui/modal.h"
#include "windows/keep_window.h"
#include "windows/picker_window.h"
#include "windows/settings_window.h"

TfrmMain* frmMain = nullptr;

namespace {

constexpr FormDescription kMainWindow = FormDescription("TfrmMain")
                                            .Caption(kApplicationTitle)
                                            .Style(WS_POPUP)
                                            .At(504, 287)
                                            .ClientSize(226, 226);

constexpr UINT kShutdownDelayMs = 1000;

// What the window's background pictures do when pressed: move the borderless window.
std::function<void(MouseButton, POINT)> DragsWindow(Window& window) {
    return [&window](MouseButton button, POINT) { BeginWindowDrag(window, button); };
}

// Start-up runs messages (a tray click among them) while this window is being created, before the
// windows after it exist: an action meant for one of those does nothing until it exists.
void ShowForm(Window* form) {
    if (form) {
        form->Show();
    }
}

}  // namespace

bool TfrmMain::Create(HWND owner, const MainWindowPictures& pictures) {
    pictures_ = pictures;
    CreateForm(kMainWindow, owner);
    trayIcon_ = std::make_unique<TTrayIcon>(*this);
    MainInstance = std::make_unique<TMainInstance>(owner, [this] { Exit1Click(); });
    if (MainInstance->AnotherInstanceRuns()) {
        return false;
    }
    CreateControls();
    CreateMenu();
    CreateNotifyPopup();
    lstIcons.AddIconResource(IDI_TRAY_SIGNED_IN);
    lstIcons.AddIconResource(IDI_TRAY_SIGNED_OUT);
    trayIcon_->SetIconList(&lstIcons);
    trayIcon_->SetHint(kApplicationTitle);
    trayIcon_->SetPopupMenu(&trayMenu_);
    trayIcon_->OnDblClick = [this] { theTrayDblClick(); };
    trayIcon_->Loaded();
    NetKeepAlive1 = std::make_unique<KeepAliveScope>(
        KeepAlive{[] { Application::ProcessMessages(); }, /*onlyWhenIdle=*/false});
    FormCreate();
    return true;
}

void TfrmMain::CreateControls() {
    imgBackground.Create(hwnd(), 0, 0, 228, 232);
    imgBackground.OnMouseDown = DragsWindow(*this);
    imgBackground.OnMouseMove = [this](POINT) { imgBackgroundMouseMove(); };
    imgBackground.SetAccessible(AccessibleGraphic(kApplicationTitle));

    imgSignIn.Create(hwnd(), 56, 64, 119, 119);
    imgSignIn.SetAutoSize(true);
    imgSignIn.SetCenter(true);
    imgSignIn.SetTransparent(true);
    imgSignIn.OnMouseMove = [this](POINT) { imgSignInMouseMove(); };
    imgSignIn.OnClick = [] { StartSignIn(stSignInImage); };
    imgSignIn.SetAccessible(AccessiblePushButton("Sign in", [] { StartSignIn(stSignInImage); }));
    imgSignIn.SetTabStop();

    imgLogo.Create(hwnd(), 16, 8, 76, 36);
    imgLogo.SetAutoSize(true);
    imgLogo.SetAccessible(AccessibleGraphic("MURLOX logo"));

    imgCloseWindow.Create(hwnd(), 205, 3, 17, 25);
    imgCloseWindow.SetCenter(true);
    imgCloseWindow.OnClick = [this] { Hide(); };
    imgCloseWindow.SetAccessible(AccessiblePushButton("Close", [this] { Hide(); }));
    imgCloseWindow.SetTabStop();
}

void TfrmMain::CreateAnimation() {
    // Made when a sign-in first shows it, after the tray icon, still the topmost of the window's
    // controls: the panel's three windows and its font took 4 of the 20 ms by which the start to
    // the icon exceeded a bare tray program's.
    pnlAnimation.Create(hwnd(), 32, 56, 169, 137);
    pnlAnimation.OnMouseDown = DragsWindow(*this);
    imgAniGif.Create(pnlAnimation.hwnd(), 52, 22, 60, 60);
    imgAniGif.SetAutoSize(true);
    imgAniGif.SetPicture(Picture::FromResource(IDR_SIGNING_IN_ANIMATION));
    imgAniGif.OnMouseDown = DragsWindow(*this);
    imgAniGif.SetAccessible(AccessibleGraphic("Signing in"));
    lblInfoFont_ = CreatePointFont("Verdana", 8, 0, WindowDpi(hwnd()));
    lblInfo.Create(pnlAnimation.hwnd(), 48, 84, "Signing in...",
                   static_cast<HFONT>(lblInfoFont_.get()), ::GetSysColor(COLOR_3DDKSHADOW));
}

void TfrmMain::CreateMenu() {
    const HWND owner = hwnd();
    trayMenu_.Add("Visit MURLOX home...", [owner] { OpenPage(HomePageAddress(), owner); });
    trayMenu_.Add("About MURLOX...", [owner] { OpenPage(AboutPageAddress(), owner); });
    trayMenu_.Add("Help!", [owner] { OpenPage(HelpPageAddress(), owner); });
    trayMenu_.AddSeparator();
    trayMenu_.Add("My profile...", [owner] {
        if (RequestSessionId()) {
            OpenPage(ProfilePageAddress(recSETTINGS.sessionid), owner);
        }
    });
    trayMenu_.Add("Settings...", [] { ShowForm(frmSettings); });
    trayMenu_.Add("Keep this MURLO...", [] { ShowForm(frmWPSetTime); });
    trayMenu_.Add("Mail this MURLO...", [owner] {
        if (RequestSessionId()) {
            OpenPage(MailPageAddress(recSETTINGS.sessionid, recSETTINGS.curdesktopid), owner);
        }
    });
    trayMenu_.AddSeparator();
    trayMenu_.Add("Sign in...", [] { StartSignIn(stTrayMenu); });
    trayMenu_.Add("Sign out...", [] { SignOut(true); });
    trayMenu_.AddSeparator();
    trayMenu_.Add("Get another MURLO...", [this] { GetanotherMURLOClick(); }).SetDefault(true);
    trayMenu_.Add("&Exit", [this] { Exit1Click(); });
}

void TfrmMain::CreateNotifyPopup() {
    notifypopup.GradientColor1 = RGB(255, 255, 255);
    notifypopup.GradientColor2 = RGB(255, 255, 255);
    // The handler opens links itself.
    notifypopup.Options = npCascadePopups | npAllowScroll | npAllowHyperlink;
    notifypopup.OnURLClick = [this](TfrmNotifyPopUp&, const std::string& link) {
        notifypopupURLClick(link);
    };
}

void TfrmMain::FormCreate() {
    const char* commandLine = ::GetCommandLineA();
    if (HasSwitch(commandLine, kBootSwitch)) {
        recSETTINGS.bootstart = true;
    }
    if (HasSwitch(commandLine, kUninstallSwitch)) {
        trayIcon_->SetEnabled(false);
        Application::Terminate();
        return;
    }
    trayIcon_->SetLeftPopup(true);
    imgBackground.SetPicture(*pictures_.background);
    imgSignIn.SetButtonPictures(*pictures_.signIn, *pictures_.signInOver);
    imgLogo.SetPicture(*pictures_.logoActive);
    imgCloseWindow.SetPicture(*pictures_.closeWindow);
    lstIcons.GetIcon(kSignedOutImage, trayIcon_->Icon());
    trayIcon_->SetIconVisible(true);
    trayIcon_->SetHint(kApplicationTitle);
    SetMenuState(false);
    notifypopup.BackgroundImage = *pictures_.logoSmall;
    StartSignIn(stLaunch);
}

bool TfrmMain::PreTranslateMessage(MSG& message) {
    if (message.message != WM_KEYDOWN) {
        return false;
    }
    if (message.wParam == VK_TAB) {
        return MoveFocusByTab(hwnd(), ::GetKeyState(VK_SHIFT) < 0);
    }
    if (message.wParam == VK_RETURN) {
        if (!PressFocusedControl(hwnd())) {
            StartSignIn(stSignInImage);
        }
        return true;
    }
    return false;
}

void TfrmMain::ShowForSignIn() {
    if (SignedIn) {
        SetLogo(true);
        Hide();
        return;
    }
    Show();
}

void TfrmMain::FormShow() {
    SetLogo(true);
    RestoreSignInImage();
    RECT bounds;
    ::GetWindowRect(hwnd(), &bounds);
    const WindowCorner place = MainWindowPlace(
        recSETTINGS.mainleft, recSETTINGS.maintop, {bounds.left, bounds.top},
        [&bounds](WindowCorner corner) {
            RECT there = bounds;
            ::OffsetRect(&there, corner.left - bounds.left, corner.top - bounds.top);
            return ::MonitorFromRect(&there, MONITOR_DEFAULTTONULL) != nullptr;
        });
    ::SetWindowPos(hwnd(), nullptr, place.left, place.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void TfrmMain::SetMenuState(bool signedIn) {
    const bool hasWallpaper = HasCurrentWallpaper(recSETTINGS.curdesktopid);
    // The first two items and "Exit" stay enabled in every state.
    for (size_t i = 2; i + 1 < trayMenu_.Count(); ++i) {
        TMenuItem& item = trayMenu_.Items(i);
        if (!item.IsSeparator()) {
            item.SetEnabled(MenuItemEnabled(item.Caption(), signedIn, hasWallpaper));
        }
    }
}

void TfrmMain::SetTrayImage(int index) {
    trayImageWaits_ = false;
    trayIcon_->SetIconVisible(false);
    lstIcons.GetIcon(index, trayIcon_->Icon());
    trayIcon_->SetIconVisible(true);
    trayImage_ = index;
}

void TfrmMain::SetTrayImageSoon(int index) {
    trayImage_ = index;
    if (!trayImageWaits_) {
        trayImageWaits_ = ::PostMessageA(hwnd(), kTrayImageMessage, 0, 0) != FALSE;
    }
    if (!trayImageWaits_) {
        SetTrayImage(index);
    }
}

void TfrmMain::SetLogo(bool active) {
    imgLogo.SetPicture(active ? *pictures_.logoActive : *pictures_.logoInactive);
}

void TfrmMain::RestoreSignInImage() {
    imgSignIn.SetPicture(*pictures_.signIn);
    imgSignIn.SetTag(0);
}

void TfrmMain::ShowSignInAnimation() {
    SetLogo(true);
    if (!pnlAnimation.hwnd()) {
        CreateAnimation();
    }
    pnlAnimation.SetVisible(true);
    ::UpdateWindow(hwnd());
    trayIcon_->SetCycleInterval(500);
    trayIcon_->SetCycleIcons(true);
}

void TfrmMain::HideSignInAnimation() {
    if (pnlAnimation.hwnd()) {
        pnlAnimation.SetVisible(false);
    }
    trayIcon_->SetCycleIcons(false);
}

void TfrmMain::GetanotherMURLOClick() {
    // Not over a pick that has still to run or runs now: RequestSessionId refuses while an
    // exchange runs.
    if (!frmWPPicker || frmWPPicker->IsVisible() || frmWPPicker->PickPending() ||
        !RequestSessionId() || TfrmDownloader::Exists()) {
        return;
    }
    ShowModal(*frmWPPicker);
}

void TfrmMain::Exit1Click() {
    notifypopup.CloseAllNotifications();
    SignOut(true);
    Application::Terminate();
}

void TfrmMain::notifypopupURLClick(const std::string& link) {
    const NotificationLinkAction action = DecideNotificationLink(link, recSETTINGS.updatelink);
    if (!action.open) {
        return;
    }
    OpenPage(action.address, hwnd());
    if (action.endProgram) {
        notifypopup.CloseAllNotifications();
        shutdownPending_ = ::SetTimer(hwnd(), tmrShutdownDelay, kShutdownDelayMs, nullptr) != 0;
    }
}

LRESULT TfrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == tmrShutdownDelay) {
                ::KillTimer(hwnd(), tmrShutdownDelay);
                Exit1Click();
                return 0;
            }
            break;
        case WM_ACTIVATE:
            SetLogo(LOWORD(wParam) != WA_INACTIVE);
            break;
        case kTrayImageMessage:
            if (trayImageWaits_) {
                SetTrayImage(trayImage_);
            }
            return 0;
        case WM_LBUTTONDOWN:
            BeginWindowDrag(*this, MouseButton::Left);
            return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

void TfrmMain::imgSignInMouseMove() {
    imgSignIn.BeginHover();
}

void TfrmMain::imgBackgroundMouseMove() {
    imgSignIn.EndHover();
}

void TfrmMain::theTrayDblClick() {
    if (SignedIn) {
        GetanotherMURLOClick();
    }
}
