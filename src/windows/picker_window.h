#pragma once
// The picker window, which shows the service's page of wallpapers to choose from in the system's
// browser control, and asks the service for the wallpaper the user clicks.

#include <memory>
#include <string>

#include "components/web_browser_host.h"
#include "service/exchange.h"
#include "ui/control.h"
#include "ui/window.h"

// The per-user switch that makes the browser control of a program use the system's newest
// engine instead of its old default mode.
inline constexpr const char* kBrowserEmulationKey =
    "Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";
inline constexpr const char* kBrowserEmulationProgram = "murlox.exe";
inline constexpr DWORD kBrowserEmulationNewest = 11001;

// Posted by the picker to itself when a thumbnail was clicked, so that the pick runs after the
// browser control's event has returned. It carries nothing: the id waits in the picker, and a
// message from elsewhere finds none to take.
inline constexpr UINT kPickWallpaperMessage = WM_APP + 2;

class TfrmWPPicker : public Window {
  public:
    void Create(HWND owner);

    TWebBrowserHost& WebHost() { return web; }
    // A thumbnail was clicked and its pick has not yet run: the picker does not open meanwhile.
    bool PickPending() const { return static_cast<bool>(pendingPick_); }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void FormShow() override;
    void FormPaint();
    void Shape1MouseDown(MouseButton button);
    void webBeforeNavigate2(const std::wstring& address, bool& cancel);
    void webDocumentComplete(const std::wstring& address);
    void webNavigateError(long status, bool& cancel);
    void ConnectionFailed();
    void PickWallpaper();

    // A clicked thumbnail's id, and the one exchange held for its pick from the click on: an
    // hourly check or a sign-in's follow-up that comes in between waits for the pick instead of
    // leaving it behind.
    struct PendingPick {
        std::string id;
        ServiceExchange exchange;
    };

    TWebBrowserHost web;
    std::unique_ptr<PendingPick> pendingPick_;
};

// The one TfrmWPPicker, from its creation at start-up to the end.
extern TfrmWPPicker* frmWPPicker;
