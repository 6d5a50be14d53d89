#pragma once
// Notifications in small always-on-top windows that never take the keyboard: each slides out of
// the taskbar's side at the corner of the work area, stays for a while, slides back and closes
// itself; several stack away from the taskbar; a click on the text reports the notification's
// link. The component keeps the settings, the stack and the windows it has opened.

#include <string>
#include <vector>

#include "components/notify_popup_owner.h"
#include "ui/destruction_notifier.h"

class TNotifyPopUp : public DestructionNotifier, public NotifyPopupOwner {
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

  protected:
    void OpenURL(const std::string& url) override;

  private:
    void ReportComponentClick() override;
    void Forget(TfrmNotifyPopUp* popup) override;

    std::vector<TfrmNotifyPopUp*> notifications_;
};
