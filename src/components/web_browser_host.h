#pragma once
// A child window that embeds the system's web browser control (CLSID_WebBrowser) in place and
// turns its navigation events into calls of the owner's functions.
//
// The host gives the control its client site, in-place site and frame, the document host's user
// interface (no three-dimensional border, no scroll bars, no context menu; page titles go
// nowhere), and the ambient download options (images, videos and background sounds; no ActiveX
// controls, Java or binary behaviours; scripts run). It listens to DWebBrowserEvents2 through the
// control's connection point, and lets the control translate its accelerator keys before the
// message pump dispatches them.
//
// The control stays inside the host: it opens no new windows, saves or opens no downloaded files,
// and its keys that open a window, a file or an address or print (Ctrl+N, Ctrl+O, Ctrl+L,
// Ctrl+P) do nothing. Where it may navigate is the owner's to say (OnBeforeNavigate2).
//
// The control is created on first use (CreateBrowser) and torn down when the window is
// destroyed: the event connection ended, the control closed and its client site taken away. The
// host's COM objects may outlive the window while the control still holds a reference to them;
// they answer nothing after the tear-down and free themselves at their last release.

#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>

#include <functional>
#include <memory>
#include <string>

#include "ui/message_pump.h"
#include "ui/win_handles.h"
#include "ui/window.h"

namespace web_browser_host_detail {
class BrowserSite;
class BrowserFrame;
class BrowserEvents;
}  // namespace web_browser_host_detail

class TWebBrowserHost : public Window {
  public:
    TWebBrowserHost();
    ~TWebBrowserHost() override;

    // Creates the host window as a visible child of parent, in its client coordinates.
    void Create(HWND parent, int left, int top, int width, int height);

    // Creates the browser control in the window, in place, and connects its events. True when the
    // control runs with its events connected (also when it ran already); without them no control
    // is kept.
    bool CreateBrowser();
    bool HasBrowser() const { return static_cast<bool>(browser_); }

    // Lets the control navigate to the address; false when there is no control or it refused.
    bool Navigate(const std::wstring& address);

    // The control's automation interface, or null before CreateBrowser.
    IWebBrowser2* Browser() const { return browser_.get(); }

    // Before a navigation of the page or one of its frames: the target address, and a flag that
    // the handler sets to cancel the navigation.
    std::function<void(const std::wstring& address, bool& cancel)> OnBeforeNavigate2;
    // A document has completed loading: the address of the browser's top-level document.
    std::function<void(const std::wstring& topLevelAddress)> OnDocumentComplete;
    // The navigation of the top-level document failed: the status the control reports (an HTTP
    // status or an error code), and a flag that the handler sets to keep the control from
    // showing its own error page. A frame's failure is the page's business and is not reported.
    std::function<void(long status, bool& cancel)> OnNavigateError;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The events listened to; a test names an interface the control has no connection point for.
    const IID* eventInterface_ = &DIID_DWebBrowserEvents2;

  private:
    friend class web_browser_host_detail::BrowserSite;
    friend class web_browser_host_detail::BrowserFrame;
    friend class web_browser_host_detail::BrowserEvents;

    void TearDown();
    RECT ControlRect() const;
    void PlaceControl(const RECT& position);
    bool TranslateControlAccelerator(MSG& message);
    void SetActiveObject(IOleInPlaceActiveObject* activeObject);
    void BeforeNavigate2(const std::wstring& address, bool& cancel);
    void DocumentComplete(IDispatch* frame, const std::wstring& address);
    void NavigateError(IDispatch* frame, long status, bool& cancel);
    bool IsTopLevel(IDispatch* frame) const;
    std::wstring LocationUrl() const;

    ComPtr<web_browser_host_detail::BrowserSite> site_;
    ComPtr<web_browser_host_detail::BrowserFrame> frame_;
    ComPtr<web_browser_host_detail::BrowserEvents> events_;
    ComPtr<IOleObject> control_;
    ComPtr<IWebBrowser2> browser_;
    ComPtr<IConnectionPoint> eventSource_;
    DWORD eventCookie_ = 0;
    // The control's active object while it is UI active, as the frame was told.
    ComPtr<IOleInPlaceActiveObject> activeObject_;
    PreTranslateHook acceleratorHook_;
};
