#include "components/web_browser_host.h"

#include <exdispid.h>
#include <mshtmdid.h>
#include <mshtmhst.h>
#include <oleauto.h>

#include <utility>

#include "ui/ui_context.h"

namespace web_browser_host_detail {

namespace {

constexpr FormDescription kHostWindow =
    FormDescription("TWebBrowserHost").Style(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN);

// What the control downloads besides the page itself: pictures, videos and sounds, but no
// ActiveX control, Java applet or binary behaviour, which would run as the user with the
// page's say.
constexpr LONG kDownloadOptions = DLCTL_DLIMAGES | DLCTL_VIDEOS | DLCTL_BGSOUNDS |
                                  DLCTL_NO_RUNACTIVEXCTLS | DLCTL_NO_DLACTIVEXCTLS | DLCTL_NO_JAVA |
                                  DLCTL_NO_BEHAVIORS;
// How the document shows inside the host.
// The host scales for the screen's DPI, so the control zooms the page instead of the system
// stretching it.
constexpr DWORD kHostUiFlags =
    DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO | DOCHOSTUIFLAG_DPI_AWARE;

// Out pointers are cleared when a method fails, as COM asks.
template <typename Interface>
HRESULT NoInterface(Interface** out, HRESULT result) {
    if (out) {
        *out = nullptr;
    }
    return result;
}

// An event argument as the control passes it: the value itself, or the value it refers to.
const VARIANT* Dereferenced(const VARIANT& argument) {
    if (V_VT(&argument) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(&argument)) {
        return V_VARIANTREF(&argument);
    }
    return &argument;
}

// An event argument that is a text: a BSTR, directly or through a reference.
std::wstring TextArgument(const VARIANT& argument) {
    const VARIANT* value = Dereferenced(argument);
    const BSTR* text = nullptr;
    if (V_VT(value) == VT_BSTR) {
        text = &V_BSTR(value);
    } else if (V_VT(value) == (VT_BYREF | VT_BSTR)) {
        text = V_BSTRREF(value);
    }
    return text && *text ? std::wstring(*text, ::SysStringLen(*text)) : std::wstring();
}

// An event argument that is a 32-bit number, directly or through a reference; 0 for another.
long NumberArgument(const VARIANT& argument) {
    const VARIANT* value = Dereferenced(argument);
    if (V_VT(value) == VT_I4) {
        return V_I4(value);
    }
    return V_VT(value) == (VT_BYREF | VT_I4) && V_I4REF(value) ? *V_I4REF(value) : 0;
}

// The cancel flag of an event, which the control passes by reference; null for another argument.
VARIANT_BOOL* CancelFlag(VARIANT& argument) {
    return V_VT(&argument) == (VT_BYREF | VT_BOOL) ? V_BOOLREF(&argument) : nullptr;
}

// Keys the control would take to open a window (Ctrl+N), a file (Ctrl+O) or an address (Ctrl+L),
// or to print (Ctrl+P), with any other modifier.
bool IsRefusedControlKey(const MSG& message) {
    if ((message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) ||
        ::GetKeyState(VK_CONTROL) >= 0) {
        return false;
    }
    switch (message.wParam) {
        case 'N':
        case 'O':
        case 'P':
        case 'L':
            return true;
        default:
            return false;
    }
}

// The identity of a COM object: its IUnknown, which every interface of it answers alike.
ComPtr<IUnknown> Identity(IUnknown* object) {
    ComPtr<IUnknown> identity;
    if (object) {
        object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.put()));
    }
    return identity;
}

// An IDispatch whose callers know its members by their numbers: it offers no type information
// and no names.
class UntypedDispatch : public IDispatch {
  public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) {
            return E_INVALIDARG;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        return NoInterface(info, E_NOTIMPL);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
};

}  // namespace

// The reference count of one of the host's COM objects, which frees itself at the last release.
// The host pointer is cleared when the host tears down; calls after that do nothing.
class HostObject {
  public:
    explicit HostObject(TWebBrowserHost* host) : host_(host) { ++TheUi().liveBrowserHostObjects; }
    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;
    void Detach() { host_ = nullptr; }

  protected:
    virtual ~HostObject() { --TheUi().liveBrowserHostObjects; }
    ULONG Retain() { return ++references_; }
    ULONG Drop() {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    TWebBrowserHost* host() const { return host_; }

    // The end of every QueryInterface: the interface found, with a reference for the caller, or
    // none.
    static HRESULT Answer(IUnknown* found, void** out) {
        if (!out) {
            return E_POINTER;
        }
        *out = found;
        if (!found) {
            return E_NOINTERFACE;
        }
        found->AddRef();
        return S_OK;
    }

  private:
    TWebBrowserHost* host_;
    ULONG references_ = 1;
};

// The client site of the control: where it sits, how its document looks and which ambient
// properties hold.
class BrowserSite final : public HostObject,
                          public IOleClientSite,
                          public IOleInPlaceSite,
                          public IDocHostUIHandler,
                          public UntypedDispatch {
  public:
    using HostObject::HostObject;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        IUnknown* found = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
            found = static_cast<IOleClientSite*>(this);
        } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
            found = static_cast<IOleInPlaceSite*>(this);
        } else if (iid == IID_IDocHostUIHandler) {
            found = static_cast<IDocHostUIHandler*>(this);
        } else if (iid == IID_IDispatch) {
            found = static_cast<IDispatch*>(this);
        }
        return Answer(found, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return Retain(); }
    ULONG STDMETHODCALLTYPE Release() override { return Drop(); }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        return NoInterface(moniker, E_NOTIMPL);
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
        return NoInterface(container, E_NOINTERFACE);
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window) {
            return E_INVALIDARG;
        }
        *window = host() ? host()->hwnd() : nullptr;
        return *window ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return host() ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                               RECT* position, RECT* clip,
                                               OLEINPLACEFRAMEINFO* frameInfo) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override {
        if (host()) {
            host()->SetActiveObject(nullptr);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(const RECT* position) override {
        if (!position) {
            return E_INVALIDARG;
        }
        if (host()) {
            host()->PlaceControl(*position);
        }
        return S_OK;
    }

    // IDocHostUIHandler
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override {
        return S_OK;  // handled: no context menu shows
    }
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override {
        if (!info) {
            return E_INVALIDARG;
        }
        info->dwFlags = kHostUiFlags;
        info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
        info->pchHostCss = nullptr;
        info->pchHostNS = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*,
                                     IOleInPlaceFrame*, IOleInPlaceUIWindow*) override {
        return S_OK;  // the host has no menus or toolbars to offer
    }
    HRESULT STDMETHODCALLTYPE HideUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UpdateUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(const RECT*, IOleInPlaceUIWindow*, BOOL) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, const GUID*, DWORD) override {
        return S_FALSE;  // the document handles its own keys
    }
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD) override {
        return NoInterface(key, S_FALSE);
    }
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget** target) override {
        return NoInterface(target, E_NOTIMPL);
    }
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) override {
        return NoInterface(external, S_FALSE);
    }
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) override {
        return NoInterface(translated, S_FALSE);
    }
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject** filtered) override {
        return NoInterface(filtered, S_FALSE);
    }

    // IDispatch: the ambient properties the control asks its site for.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS*,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        if (member != DISPID_AMBIENT_DLCONTROL || !(flags & DISPATCH_PROPERTYGET)) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (!result) {
            return E_INVALIDARG;
        }
        ::VariantInit(result);
        V_VT(result) = VT_I4;
        V_I4(result) = kDownloadOptions;
        return S_OK;
    }
};

// The frame the control is activated in: the host's top-level window, without menus or tools.
class BrowserFrame final : public HostObject, public IOleInPlaceFrame {
  public:
    using HostObject::HostObject;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        const bool known = iid == IID_IUnknown || iid == IID_IOleWindow ||
                           iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame;
        return Answer(known ? static_cast<IOleInPlaceFrame*>(this) : nullptr, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return Retain(); }
    ULONG STDMETHODCALLTYPE Release() override { return Drop(); }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window) {
            return E_INVALIDARG;
        }
        *window = host() ? ::GetAncestor(host()->hwnd(), GA_ROOT) : nullptr;
        return *window ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceUIWindow: no room for the control's tools.
    HRESULT STDMETHODCALLTYPE GetBorder(RECT*) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(const BORDERWIDTHS*) override {
        return INPLACE_E_NOTOOLSPACE;
    }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(const BORDERWIDTHS* widths) override {
        return widths ? OLE_E_INVALIDRECT : S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* activeObject,
                                              LPCOLESTR) override {
        if (host()) {
            host()->SetActiveObject(activeObject);
        }
        return S_OK;
    }

    // IOleInPlaceFrame: no menus to merge, no status line, no accelerators of its own.
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, OLEMENUGROUPWIDTHS*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, WORD) override { return S_FALSE; }
};

HRESULT BrowserSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                      RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* frameInfo) {
    if (!frame || !doc || !position || !clip || !frameInfo) {
        return E_INVALIDARG;
    }
    *frame = nullptr;
    *doc = nullptr;  // the frame is the document window too
    if (!host() || !host()->frame_) {
        return E_UNEXPECTED;
    }
    host()->frame_->AddRef();
    *frame = host()->frame_.get();
    *position = host()->ControlRect();
    *clip = *position;
    // cb is the caller's: it tells which version of the structure it passed.
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = ::GetAncestor(host()->hwnd(), GA_ROOT);
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

// The receiver of the control's DWebBrowserEvents2.
class BrowserEvents final : public HostObject, public UntypedDispatch {
  public:
    using HostObject::HostObject;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        const bool known =
            iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2;
        return Answer(known ? static_cast<IDispatch*>(this) : nullptr, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return Retain(); }
    ULONG STDMETHODCALLTYPE Release() override { return Drop(); }

    // IDispatch
    // The arguments arrive last first: rgvarg[0] is the event's last parameter.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* parameters,
                                     VARIANT*, EXCEPINFO*, UINT*) override {
        switch (member) {
            case DISPID_BEFORENAVIGATE2:
                return BeforeNavigate2(parameters);
            case DISPID_DOCUMENTCOMPLETE:
                return DocumentComplete(parameters);
            case DISPID_NAVIGATEERROR:
                return NavigateError(parameters);
            case DISPID_NEWWINDOW2:  // (ppDisp, Cancel)
                return Refuse(parameters, 2, 0);
            case DISPID_NEWWINDOW3:  // (ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl)
                return Refuse(parameters, 5, 3);
            case DISPID_FILEDOWNLOAD:
                return FileDownload(parameters);
            default:
                return DISP_E_MEMBERNOTFOUND;
        }
    }

  private:
    // An event with count arguments, the last its cancel flag, that the host decides: ask is
    // called with the host and the flag once the arguments are known to be there.
    template <typename Ask>
    HRESULT AskHost(DISPPARAMS* parameters, UINT count, Ask ask) {
        if (!parameters || parameters->cArgs != count) {
            return DISP_E_BADPARAMCOUNT;
        }
        VARIANT_BOOL* cancelFlag = CancelFlag(parameters->rgvarg[0]);
        if (!cancelFlag) {
            return DISP_E_TYPEMISMATCH;
        }
        bool cancel = *cancelFlag != VARIANT_FALSE;
        if (TWebBrowserHost* receiver = host()) {
            ask(*receiver, cancel);
        }
        *cancelFlag = cancel ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }

    // (pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel)
    HRESULT BeforeNavigate2(DISPPARAMS* parameters) {
        return AskHost(parameters, 7, [parameters](TWebBrowserHost& receiver, bool& cancel) {
            receiver.BeforeNavigate2(TextArgument(parameters->rgvarg[5]), cancel);
        });
    }

    // An event with count arguments whose cancel flag, at index cancel of the last-first
    // arguments, is set: what it announces does not happen.
    static HRESULT Refuse(DISPPARAMS* parameters, UINT count, UINT cancel) {
        if (!parameters || parameters->cArgs != count) {
            return DISP_E_BADPARAMCOUNT;
        }
        VARIANT_BOOL* cancelFlag = CancelFlag(parameters->rgvarg[cancel]);
        if (!cancelFlag) {
            return DISP_E_TYPEMISMATCH;
        }
        *cancelFlag = VARIANT_TRUE;
        return S_OK;
    }

    // (ActiveDocument, Cancel): a document the control shows itself loads; a file that it would
    // offer to save or open does not.
    static HRESULT FileDownload(DISPPARAMS* parameters) {
        if (!parameters || parameters->cArgs != 2) {
            return DISP_E_BADPARAMCOUNT;
        }
        const VARIANT& activeDocument = parameters->rgvarg[1];
        if (V_VT(&activeDocument) != VT_BOOL) {
            return DISP_E_TYPEMISMATCH;
        }
        return V_BOOL(&activeDocument) != VARIANT_FALSE ? S_OK : Refuse(parameters, 2, 0);
    }

    // (pDisp, URL)
    HRESULT DocumentComplete(DISPPARAMS* parameters) {
        if (!parameters || parameters->cArgs != 2) {
            return DISP_E_BADPARAMCOUNT;
        }
        if (TWebBrowserHost* receiver = host()) {
            receiver->DocumentComplete(Sender(parameters->rgvarg[1]),
                                       TextArgument(parameters->rgvarg[0]));
        }
        return S_OK;
    }

    // (pDisp, URL, Frame, StatusCode, Cancel)
    HRESULT NavigateError(DISPPARAMS* parameters) {
        return AskHost(parameters, 5, [parameters](TWebBrowserHost& receiver, bool& cancel) {
            receiver.NavigateError(Sender(parameters->rgvarg[4]),
                                   NumberArgument(parameters->rgvarg[1]), cancel);
        });
    }

    // The browser an event comes from: the control's own, or a frame's.
    static IDispatch* Sender(const VARIANT& argument) {
        return V_VT(&argument) == VT_DISPATCH ? V_DISPATCH(&argument) : nullptr;
    }
};

}  // namespace web_browser_host_detail

using web_browser_host_detail::BrowserEvents;
using web_browser_host_detail::BrowserFrame;
using web_browser_host_detail::BrowserSite;

TWebBrowserHost::TWebBrowserHost()
    : acceleratorHook_([this](MSG& message) { return TranslateControlAccelerator(message); }) {}

TWebBrowserHost::~TWebBrowserHost() {
    TearDown();
}

void TWebBrowserHost::Create(HWND parent, int left, int top, int width, int height) {
    FormDescription form = web_browser_host_detail::kHostWindow;
    form.left = left;
    form.top = top;
    form.clientWidth = width;
    form.clientHeight = height;
    CreateForm(form, parent);
}

bool TWebBrowserHost::CreateBrowser() {
    if (browser_) {
        return true;
    }
    if (!hwnd()) {
        return false;
    }
    ComPtr<IOleObject> control;
    if (FAILED(::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  reinterpret_cast<void**>(control.put())))) {
        return false;
    }
    *site_.put() = new BrowserSite(this);
    *frame_.put() = new BrowserFrame(this);
    *events_.put() = new BrowserEvents(this);
    control_ = std::move(control);
    // The site comes first: the control reads the ambient properties from it.
    control_->SetClientSite(site_.get());
    ComPtr<IOleControl> ambientReader;
    if (SUCCEEDED(control_->QueryInterface(IID_IOleControl,
                                           reinterpret_cast<void**>(ambientReader.put())))) {
        ambientReader->OnAmbientPropertyChange(DISPID_AMBIENT_DLCONTROL);
    }
    RECT position = ControlRect();
    if (FAILED(control_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, hwnd(),
                                &position)) ||
        FAILED(
            control_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(browser_.put())))) {
        TearDown();
        return false;
    }
    // A control whose events cannot be heard would never report a navigation: it is no control.
    ComPtr<IConnectionPointContainer> eventSources;
    if (FAILED(browser_->QueryInterface(IID_IConnectionPointContainer,
                                        reinterpret_cast<void**>(eventSources.put()))) ||
        FAILED(eventSources->FindConnectionPoint(*eventInterface_, eventSource_.put())) ||
        FAILED(eventSource_->Advise(static_cast<IDispatch*>(events_.get()), &eventCookie_))) {
        eventSource_.reset();
        eventCookie_ = 0;
        TearDown();
        return false;
    }
    return true;
}

bool TWebBrowserHost::Navigate(const std::wstring& address) {
    if (!browser_) {
        return false;
    }
    const UniqueBstr url = NewBstr(address);
    if (!url) {
        return false;
    }
    VARIANT none;
    ::VariantInit(&none);
    return SUCCEEDED(browser_->Navigate(url.get(), &none, &none, &none, &none));
}

void TWebBrowserHost::TearDown() {
    if (eventSource_) {
        eventSource_->Unadvise(eventCookie_);
        eventSource_.reset();
        eventCookie_ = 0;
    }
    browser_.reset();
    if (control_) {
        control_->Close(OLECLOSE_NOSAVE);
        control_->SetClientSite(nullptr);
        control_.reset();
    }
    activeObject_.reset();
    // A control that still holds one of these reaches no host through it any more.
    if (site_) {
        site_->Detach();
        site_.reset();
    }
    if (frame_) {
        frame_->Detach();
        frame_.reset();
    }
    if (events_) {
        events_->Detach();
        events_.reset();
    }
}

RECT TWebBrowserHost::ControlRect() const {
    RECT client = {};
    ::GetClientRect(hwnd(), &client);
    return client;
}

void TWebBrowserHost::PlaceControl(const RECT& position) {
    ComPtr<IOleInPlaceObject> inPlace;
    if (control_ && SUCCEEDED(control_->QueryInterface(IID_IOleInPlaceObject,
                                                       reinterpret_cast<void**>(inPlace.put())))) {
        const RECT clip = ControlRect();
        inPlace->SetObjectRects(&position, &clip);
    }
}

bool TWebBrowserHost::TranslateControlAccelerator(MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) {
        return false;
    }
    if (message.hwnd != hwnd() && !::IsChild(hwnd(), message.hwnd)) {
        return false;
    }
    // Taken here, so that neither the control's accelerators nor its window see it.
    if (web_browser_host_detail::IsRefusedControlKey(message)) {
        return true;
    }
    if (!activeObject_) {
        return false;
    }
    // The control may end the host's life while it handles the key.
    ComPtr<IOleInPlaceActiveObject> activeObject;
    activeObject.share(activeObject_.get());
    return activeObject->TranslateAccelerator(&message) == S_OK;
}

void TWebBrowserHost::SetActiveObject(IOleInPlaceActiveObject* activeObject) {
    activeObject_.share(activeObject);
}

void TWebBrowserHost::BeforeNavigate2(const std::wstring& address, bool& cancel) {
    if (OnBeforeNavigate2) {
        OnBeforeNavigate2(address, cancel);
    }
}

void TWebBrowserHost::DocumentComplete(IDispatch* frame, const std::wstring& address) {
    if (!OnDocumentComplete) {
        return;
    }
    // A frame's document leaves the top-level address to be read from the control.
    OnDocumentComplete(IsTopLevel(frame) ? address : LocationUrl());
}

void TWebBrowserHost::NavigateError(IDispatch* frame, long status, bool& cancel) {
    if (OnNavigateError && IsTopLevel(frame)) {
        OnNavigateError(status, cancel);
    }
}

// The top-level document's events come with the control's own object, a frame's with another.
bool TWebBrowserHost::IsTopLevel(IDispatch* frame) const {
    return frame && web_browser_host_detail::Identity(frame).get() ==
                        web_browser_host_detail::Identity(browser_.get()).get();
}

std::wstring TWebBrowserHost::LocationUrl() const {
    UniqueBstr location;
    if (!browser_ || FAILED(browser_->get_LocationURL(location.put())) || !location) {
        return {};
    }
    return std::wstring(location.get(), ::SysStringLen(location.get()));
}

LRESULT TWebBrowserHost::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            PlaceControl(ControlRect());
            return 0;
        case WM_SETFOCUS:
            if (control_ && site_) {
                // Focus on the host makes the control UI active, so that its keys work.
                RECT position = ControlRect();
                control_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site_.get(), 0, hwnd(), &position);
            }
            return 0;
        case WM_DESTROY:
            TearDown();
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}
