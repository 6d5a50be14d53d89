#include "app/application_service_owner.h"

#include "app/main_window.h"
#include "signin/sign_in.h"

uint32_t ApplicationServiceOwner::StandingSession() const {
    return ::StandingSession();
}

void ApplicationServiceOwner::ExchangeFailed() {
    if (ReportConnectionFailure) {
        ShowConnectionFailure();
    }
    SignOut(false);
}

void ApplicationServiceOwner::SessionRequestFailed() {
    ShowConnectionFailure();
    SignOut(false);
}

void ApplicationServiceOwner::WallpaperApplied() {
    // The wallpaper items of the tray menu depend on a current wallpaper, which the first one
    // applied only now brings.
    if (frmMain && SignedIn) {
        frmMain->SetMenuState(true);
    }
}

void ApplicationServiceOwner::ShowNewsItem(const std::string& text, const std::string& link) {
    if (!frmMain) {
        return;
    }
    TNotifyPopUp& popup = frmMain->notifypopup;
    popup.Text = text;
    popup.URL = link;
    popup.Title.clear();
    popup.ShowNotification();
}
