#pragma once
// Notifications in small always-on-top windows that never take the keyboard: each slides out of
// the taskbar's side at the corner of the work area, stays for a while, slides back and closes
// itself; several stack away from the taskbar; a click on the text reports the notification's
// link. The component keeps the settings, the stack and the windows it has opened.

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "ui/destruction_notifier.h"
#include "ui/font.h"
#include "components/mouse_label.h"
#include "components/notify_popup_rules.h"
#include "components/picture.h"

class TNotifyPopUp;
class TfrmNotifyPopUp;

enum TOrientation : uint8_t {
    mbHorizontal = 0,
    mbVertical = 1,
};

enum TNotifyImageDrawMethod : uint8_t {
    dmActualSize = 0,
    dmTile = 1,
    dmFit = 2,
};

// One bit each, as the set is stored; bit 1 belonged to an option that changed nothing and stays
// unused, so that the other options keep their bits.
enum TNotifyPopupOption : uint8_t {
    npAutoOpenURL = 1 << 0,     // the component opens the link itself after OnURLClick
    npCascadePopups = 1 << 2,   // each new popup goes beyond the earlier ones
    npAllowScroll = 1 << 3,     // popups slide in; without it they appear at full size
    npAllowHyperlink = 1 << 4,  // the text is a link: hover font and OnURLClick
};
using TNotifyPopupOptions = uint8_t;

// Who a click is reported by: the popup whose text was clicked with links not allowed, the
// component in every other case.
using TNotifySender = std::variant<TNotifyPopUp*, TfrmNotifyPopUp*>;

class TNotifyPopUp : public DestructionNotifier {
  public:
    TNotifyPopUp() = default;
    // Closes what is still open: the popups share this component's fonts and pictures.
    ~TNotifyPopUp() override;

    // Opens one popup with the values set now; false, showing nothing, when the stack has no room
    // left beside the taskbar.
    bool ShowNotification();
    // Closes every popup this component opened, and no other program's.
    void CloseAllNotifications();
    // Hides the open popups without closing them.
    void HideNotifications();

    // The popups opened and not yet gone, oldest first.
    const std::vector<TfrmNotifyPopUp*>& Notifications() const { return notifications_; }
    const NotificationStack& Stack() const { return stack_; }

    // Plain stores, taken by each popup when it is shown. Pictures and fonts are copied in on
    // assignment; the popups share the component's.
    std::string Text = "text";
    std::string URL = PlaceholderUrl;
    Picture IconBitmap;
    int32_t IconLeft = 8;
    int32_t IconTop = 8;
    int32_t TimeOut = 10;  // seconds a popup stays at full size
    int32_t Width = 148;   // outer size of each popup
    int32_t Height = 121;
    TColor GradientColor1 = 0xFFCC99;
    TColor GradientColor2 = 0xFFFFFF;
    TOrientation GradientOrientation = mbVertical;
    uint8_t ScrollSpeed = 9;  // 1 to 50 pixels per slide step
    TFont Font;
    TFont HoverFont = WithStyle(fsUnderline, 0xFF0000);
    std::string Title = "title";
    TFont TitleFont = WithStyle(fsBold, clWindowText);
    TNotifyPopupOptions Options =
        npAutoOpenURL | npCascadePopups | npAllowScroll | npAllowHyperlink;
    TAlignment TextAlignment = taCenter;
    TNotifyImageDrawMethod BackgroundDrawMethod = dmActualSize;
    int16_t TextCursor = 0;  // the class library's cursor numbers; 0 is the default arrow
    int32_t PopupMarge = 2;  // gap between stacked popups
    int32_t PopupStartX = 16;
    int32_t PopupStartY = 2;
    Picture BackgroundImage;  // replaces the gradient when not empty

    std::function<void(TNotifySender Sender)> OnClick;
    std::function<void(TfrmNotifyPopUp& Sender, const std::string& URL)> OnURLClick;

  protected:
    friend class TfrmNotifyPopUp;
    // The shell's default action for the link, after OnURLClick with npAutoOpenURL.
    virtual void OpenURL(const std::string& url);

  private:
    static TFont WithStyle(TFontStyles style, TColor color);
    // Called by a popup that freed itself, and as it goes.
    void PopupClosed() { stack_.Closed(); }
    void Forget(TfrmNotifyPopUp* popup);

    NotificationStack stack_;
    std::vector<TfrmNotifyPopUp*> notifications_;
};

// The side of the screen the taskbar is on, as the shell reports it now.
TTaskbarEdge ReadTaskbarEdge();
// The primary screen's area outside the taskbar, now.
ScreenRect ReadWorkArea();
