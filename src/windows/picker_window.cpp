#include "windows/picker_window.h"

#include <utility>

#include "components/window_drag.h"
#include "service/exchange.h"
#include "service/page_addresses.h"
#include "service/service_address.h"
#include "service/wallpaper_request.h"
#include "settings/registry_key.h"
#include "settings/settings_record.h"
#include "signin/sign_in.h"
#include "ui/ansi_text.h"
#include "ui/win_handles.h"
#include "windows/picker_navigation.h"

TfrmWPPicker* frmWPPicker = nullptr;

namespace {

constexpr int kClientWidth = 365;
constexpr int kClientHeight = 249;

constexpr FormDescription kForm = FormDescription("TfrmWPPicker")
                                      .Caption("Get another MURLO")
                                      .Style(WS_POPUP | WS_CAPTION | WS_SYSMENU)
                                      // No designed place: the middle of the work area.
                                      .Centred()
                                      .ClientSize(kClientWidth, kClientHeight);

// The browser control, with a white margin of 10 pixels around it, 14 at the bottom.
constexpr RECT kWebBounds = {10, 10, 10 + 345, 10 + 225};

// The browser control of this program shows pages with the newest engine the system has. A
// registry that refuses the value leaves the control in its default mode, which still works.
void UseNewestBrowserEngine() {
    try {
        RegistryKey(kBrowserEmulationKey, KEY_SET_VALUE)
            .WriteDword(kBrowserEmulationProgram, kBrowserEmulationNewest);
    } catch (const RegistryError&) {
    }
}

}  // namespace

void TfrmWPPicker::Create(HWND owner) {
    CreateForm(kForm, owner);
    web.Create(hwnd(), kWebBounds.left, kWebBounds.top, kWebBounds.right - kWebBounds.left,
               kWebBounds.bottom - kWebBounds.top);
    web.OnBeforeNavigate2 = [this](const std::wstring& address, bool& cancel) {
        webBeforeNavigate2(address, cancel);
    };
    web.OnDocumentComplete = [this](const std::wstring& address) { webDocumentComplete(address); };
    web.OnNavigateError = [this](long status, bool& cancel) { webNavigateError(status, cancel); };
}

void TfrmWPPicker::FormShow() {
    if (recSETTINGS.curdesktopid.empty()) {
        recSETTINGS.curdesktopid = "0";
    }
    // The control is made when the picker first opens, so that a start does not pay for it.
    if (!web.HasBrowser()) {
        UseNewestBrowserEngine();
        // Without its events the control could never report a pick: as unusable as no page.
        if (!web.CreateBrowser()) {
            // Ends the modal run that is showing the picker, which hides it again.
            SetModalResult(kModalFailed);
            ShowConnectionFailure();
            return;
        }
    }
    web.Navigate(WidenAnsi(ThumbnailPageAddress(recSETTINGS.nickname, recSETTINGS.password,
                                                recSETTINGS.curdesktopid)));
}

void TfrmWPPicker::FormPaint() {
    if (::GetForegroundWindow() != hwnd()) {
        ::SetForegroundWindow(hwnd());
    }
    // The focus goes to the page unless it is there already.
    const HWND focus = ::GetFocus();
    if (focus != web.hwnd() && !::IsChild(web.hwnd(), focus)) {
        ::SetFocus(web.hwnd());
    }
}

void TfrmWPPicker::Shape1MouseDown(MouseButton button) {
    BeginWindowDrag(*this, button);
}

void TfrmWPPicker::webBeforeNavigate2(const std::wstring& address, bool& cancel) {
    PickerNavigation navigation =
        DecidePickerNavigation(NarrowToAnsi(address), address, ServiceUrl(""));
    if (navigation.action == PickerNavigation::Action::Follow) {
        return;
    }
    // Any other address opens nothing, in the picker or elsewhere.
    cancel = true;
    if (navigation.action != PickerNavigation::Action::Pick) {
        return;
    }
    // While another exchange runs (the hourly check) the click does nothing; the picker stays.
    if (ExchangeRuns()) {
        return;
    }
    // The pick runs once this event has returned and the picker's modal run has ended: its
    // exchange pumps messages and may raise errors, neither of which belongs inside the
    // control's own frames. Its exchange counts from the click on, so that nothing else starts
    // one before it runs.
    pendingPick_ = std::make_unique<PendingPick>();
    pendingPick_->id = std::move(navigation.id);
    SetModalResult(kModalFailed);
    ::PostMessageA(hwnd(), kPickWallpaperMessage, 0, 0);
}

void TfrmWPPicker::PickWallpaper() {
    if (!pendingPick_) {
        return;
    }
    // Held until the request has ended, however it ends.
    const std::unique_ptr<PendingPick> pick = std::move(pendingPick_);
    Hide();
    RequestNewWallpaper(pick->id, hwnd());
}

void TfrmWPPicker::webDocumentComplete(const std::wstring& address) {
    if (IsBrowserErrorPage(NarrowToAnsi(address))) {
        ConnectionFailed();
    }
}

void TfrmWPPicker::webNavigateError(long status, bool& cancel) {
    if (!IsConnectionFailure(status)) {
        return;
    }
    // The picker reports the failure itself: the control's error page would only report it again.
    cancel = true;
    ConnectionFailed();
}

void TfrmWPPicker::ConnectionFailed() {
    Hide();
    ShowConnectionFailure();
    SetModalResult(kModalFailed);
}

LRESULT TfrmWPPicker::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client;
            ::GetClientRect(hwnd(), &client);
            ::FillRect(reinterpret_cast<HDC>(wParam), &client,
                       static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
            return TRUE;
        }
        case WM_PAINT: {
            // The page draws itself: the background is erased and the area validated first, and
            // FormPaint then brings the page forward.
            { const WindowPaint erased(hwnd()); }
            FormPaint();
            return 0;
        }
        case kPickWallpaperMessage:
            PickWallpaper();
            return 0;
        case WM_LBUTTONDOWN:
            Shape1MouseDown(MouseButton::Left);
            return 0;
        case WM_RBUTTONDOWN:
            Shape1MouseDown(MouseButton::Right);
            return 0;
        case WM_MBUTTONDOWN:
            Shape1MouseDown(MouseButton::Middle);
            return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}
