#include "components/notify_popup.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "components/notify_popup_window.h"
#include "ui/dpi.h"

TNotifyPopUp::~TNotifyPopUp() {
    // Each frees itself and leaves the list as its window goes.
    const std::vector<TfrmNotifyPopUp*> open = notifications_;
    for (TfrmNotifyPopUp* popup : open) {
        popup->Destroy();
    }
}

bool TNotifyPopUp::ShowNotification() {
    // Measured at the DPI the popup takes there, as the stack grows by the popups' own heights.
    const ScreenRect workArea = ReadWorkArea();
    const int dpi = AreaDpi({workArea.left, workArea.top, workArea.right, workArea.bottom});
    if (!stack_.Admit(ReadTaskbarEdge(), workArea, Scaled(Height, dpi), Scaled(PopupStartY, dpi))) {
        return false;
    }
    auto* popup = new TfrmNotifyPopUp(*this);
    if (!popup->hwnd()) {
        delete popup;
        stack_.Closed();
        return false;
    }
    notifications_.push_back(popup);
    popup->PrepareAndShow();
    return true;
}

void TNotifyPopUp::CloseAllNotifications() {
    // Only the popups this component opened: a search by class name would also find other
    // programs' windows of the same class and close them.
    const std::vector<TfrmNotifyPopUp*> open = notifications_;
    for (TfrmNotifyPopUp* popup : open) {
        popup->ClosePopup();
    }
}

void TNotifyPopUp::HideNotifications() {
    for (TfrmNotifyPopUp* popup : notifications_) {
        popup->Hide();
    }
}

void TNotifyPopUp::OpenURL(const std::string& url) {
    if (!IsWebAddress(url)) {
        return;
    }
    ::ShellExecuteA(nullptr, nullptr, url.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
}

void TNotifyPopUp::ReportComponentClick() {
    OnClick(TNotifySender{this});
}

void TNotifyPopUp::Forget(TfrmNotifyPopUp* popup) {
    notifications_.erase(std::remove(notifications_.begin(), notifications_.end(), popup),
                         notifications_.end());
}
