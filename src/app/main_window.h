#pragma once
// The borderless main window that stands for the client while the user is signed out. It owns
// the tray icon with its menu and images, the single-instance test and the network keep-alive.

#include <memory>
#include <string>

#include "app/main_instance.h"
#include "components/image_control.h"
#include "components/image_list.h"
#include "components/label.h"
#include "components/notify_popup.h"
#include "components/picture.h"
#include "components/popup_menu.h"
#include "components/tray_icon.h"
#include "service/http_client.h"
#include "ui/panel.h"
#include "ui/window.h"

// The tray images of lstIcons.
inline constexpr int kSignedInImage = 0;
inline constexpr int kSignedOutImage = 1;

// The pictures the window shows, which the resource window holds for the program's life.
struct MainWindowPictures {
    const Picture* background;
    const Picture* signIn;
    const Picture* signInOver;
    const Picture* logoActive;
    const Picture* logoInactive;
    const Picture* closeWindow;
    // The news popups' background.
    const Picture* logoSmall;
};

class TfrmMain : public Window {
  public:
    // Creates the window and runs its creation handler. Returns false when another instance runs:
    // this process has then handed over and must end without a message loop.
    bool Create(HWND owner, const MainWindowPictures& pictures);

    // Shows the window to a signed-out user; a signed-in user never sees it, so it hides then.
    void ShowForSignIn();
    // Enables the tray menu's items for the signed-in or signed-out state.
    void SetMenuState(bool signedIn);
    // Puts image index of lstIcons into the tray.
    void SetTrayImage(int index);
    // The same once this thread's messages next run: an exchange that starts now is on its way by
    // then. Changing the image takes two calls to the shell (5 ms under Wine), which the first
    // request of a session need not wait for. A SetTrayImage meanwhile stands instead.
    void SetTrayImageSoon(int index);
    int TrayImage() const { return trayImage_; }
    void SetLogo(bool active);
    // The normal sign-in picture, without hover.
    void RestoreSignInImage();
    void ShowSignInAnimation();
    void HideSignInAnimation();

    void GetanotherMURLOClick();
    void Exit1Click();
    // A click on a link of a news notification; the update link ends the program a second later.
    void notifypopupURLClick(const std::string& link);
    bool ShutdownPending() const { return shutdownPending_; }

    // The news popups; the news fills Text and URL for each one it shows.
    TNotifyPopUp notifypopup;

    TTrayIcon& theTray() { return *trayIcon_; }
    TPopupMenu& popupTray() { return trayMenu_; }
    bool AnimationVisible() const { return pnlAnimation.IsVisible(); }

    // Tab walks the pictures that act; Enter presses the one that has the focus, and elsewhere
    // signs in, the window's one action.
    bool PreTranslateMessage(MSG& message) override;

  protected:
    // Lit logo, the sign-in picture in its first look, at the stored position.
    void FormShow() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void CreateControls();
    void CreateAnimation();
    void CreateMenu();
    void CreateNotifyPopup();
    void FormCreate();
    void imgSignInMouseMove();
    void imgBackgroundMouseMove();
    void theTrayDblClick();

    MainWindowPictures pictures_ = {};
    ImageControl imgBackground;
    ImageControl imgSignIn;
    ImageControl imgLogo;
    ImageControl imgCloseWindow;
    Panel pnlAnimation;
    ImageControl imgAniGif;
    Label lblInfo;
    UniqueGdiObject lblInfoFont_;
    int trayImage_ = kSignedOutImage;
    bool trayImageWaits_ = false;
    bool shutdownPending_ = false;
    TPopupMenu trayMenu_;
    // At the small-icon size of the screen's scale.
    TImageList lstIcons{::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON)};
    std::unique_ptr<TTrayIcon> trayIcon_;
    std::unique_ptr<TMainInstance> MainInstance;
    // Keeps windows, timers and menus alive while the user-interface thread waits for the network.
    std::unique_ptr<KeepAliveScope> NetKeepAlive1;
};

// The one TfrmMain, from its creation at start-up to the end.
extern TfrmMain* frmMain;
