// The browser host with the system's real browser control, through the interfaces the control
// itself uses: its client site, in-place site, frame, document host and event sink.
//
// What Wine 8's control does here, where Debian packages no HTML engine (mshtml is switched off
// in the prefix): it creates, activates in place (a "Shell Embedding" window fills the host) and
// connects sinks; Navigate raises BeforeNavigate2 at once, inside the call (honouring its cancel
// flag), then DownloadBegin, StatusTextChange, CommandStateChange, fetches the address over HTTP
// like a browser, raises DownloadComplete and finally NavigateError, because no document object
// can be made of the page. It never raises NavigateComplete2 or DocumentComplete, its ready
// state stays "loading", it shows no error page, and it never becomes UI active, so it never
// hands its frame an active object. The events it does not raise are fired here the way the
// control fires events: through the connected sinks' IDispatch::Invoke, with its argument types
// (see support/browser_events.h).

#include "components/web_browser_host.h"

#include <exdispid.h>
#include <gtest/gtest.h>
#include <mshtmdid.h>
#include <mshtmhst.h>
#include <oleauto.h>

#include <functional>
#include <string>
#include <vector>

#include "app/application.h"
#include "support/browser_events.h"
#include "support/counted_com_object.h"
#include "support/process_objects.h"
#include "support/test_services.h"
#include "support/wine_test_fixture.h"
#include "ui/dpi.h"
#include "ui/message_pump.h"
#include "ui/ui_context.h"

namespace {

constexpr FormDescription kTestForm = FormDescription("MurloxBrowserTestForm")
                                          .Caption("browser host test")
                                          .Style(WS_POPUP | WS_CAPTION)
                                          .At(40, 40)
                                          .ClientSize(400, 300);

class TestForm : public Window {
  public:
    TestForm() { CreateForm(kTestForm, nullptr); }
};

template <typename Interface>
ComPtr<Interface> Query(IUnknown* object, REFIID iid) {
    ComPtr<Interface> result;
    if (object) {
        object->QueryInterface(iid, reinterpret_cast<void**>(result.put()));
    }
    return result;
}

// A stand-in for the object a UI-active control hands its frame, which Wine's control never does.
class FakeActiveObject : public CountedComObject<IOleInPlaceActiveObject> {
  public:
    FakeActiveObject() : CountedComObject({IID_IOleWindow, IID_IOleInPlaceActiveObject}) {}

    HRESULT STDMETHODCALLTYPE GetWindow(HWND*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message) override {
        keys.push_back(static_cast<int>(message->wParam));
        return message->wParam == VK_TAB ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(const RECT*, IOleInPlaceUIWindow*, BOOL) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }

    std::vector<int> keys;
};

class WebBrowserHostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        service_.Reset();
        form_ = std::make_unique<TestForm>();
        host_ = std::make_unique<TWebBrowserHost>();
        host_->Create(form_->hwnd(), 10, 10, 345, 225);
        host_->OnBeforeNavigate2 = [this](const std::wstring& address, bool& cancel) {
            navigations_.push_back(address);
            cancel = address.find(L"/refused") != std::wstring::npos;
        };
        host_->OnDocumentComplete = [this](const std::wstring& address) {
            completed_.push_back(address);
        };
        ASSERT_TRUE(host_->CreateBrowser());
    }
    void TearDown() override {
        host_->Destroy();
        host_.reset();
        form_->Destroy();
        form_.reset();
    }

    ComPtr<IOleClientSite> Site() const {
        ComPtr<IOleObject> control = Query<IOleObject>(host_->Browser(), IID_IOleObject);
        ComPtr<IOleClientSite> site;
        control->GetClientSite(site.put());
        return site;
    }
    std::wstring Url(const std::string& path) const {
        const std::string url = service_.Url(path);
        return std::wstring(url.begin(), url.end());
    }
    int Requests(const std::string& path) const {
        int count = 0;
        for (int i = 0; i < service_.RequestCount(); ++i) {
            count += service_.RawRequest(i).rfind("GET " + path + " ", 0) == 0;
        }
        return count;
    }

    StandInService service_{RunningTestServices().servicePort};
    std::unique_ptr<TestForm> form_;
    std::unique_ptr<TWebBrowserHost> host_;
    std::vector<std::wstring> navigations_;
    std::vector<std::wstring> completed_;
};

TEST_F(WebBrowserHostTest, TheControlIsActiveInPlaceAndFillsTheHost) {
    RECT host;
    ::GetWindowRect(host_->hwnd(), &host);
    POINT origin = {host.left, host.top};
    ::ScreenToClient(form_->hwnd(), &origin);
    EXPECT_EQ(origin.x, 10);
    EXPECT_EQ(origin.y, 10);
    EXPECT_EQ(host.right - host.left, 345);
    EXPECT_EQ(host.bottom - host.top, 225);

    const HWND control = ::GetWindow(host_->hwnd(), GW_CHILD);
    ASSERT_NE(control, nullptr);
    RECT bounds;
    ::GetWindowRect(control, &bounds);
    EXPECT_TRUE(::EqualRect(&bounds, &host));

    // At twice the DPI the host grows, and the control, which the host places, still fills it.
    RECT form;
    ::GetWindowRect(form_->hwnd(), &form);
    const int dpi = WindowDpi(form_->hwnd());
    ::SendMessageA(form_->hwnd(), WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi),
                   reinterpret_cast<LPARAM>(&form));
    ::GetWindowRect(host_->hwnd(), &host);
    ::GetWindowRect(control, &bounds);
    EXPECT_EQ(host.right - host.left, 2 * 345);
    EXPECT_TRUE(::EqualRect(&bounds, &host));

    EXPECT_TRUE(host_->HasBrowser());
    EXPECT_TRUE(host_->CreateBrowser()) << "a second call keeps the control";
    EXPECT_EQ(TheUi().liveBrowserHostObjects, 3);  // site, frame and event sink
    EXPECT_EQ(ConnectedSinks(host_->Browser()), 1);
}

TEST_F(WebBrowserHostTest, TheSiteFollowsTheRulesOfQueryInterface) {
    const ComPtr<IOleClientSite> site = Site();
    ASSERT_TRUE(site);
    const ComPtr<IUnknown> identity = Query<IUnknown>(site.get(), IID_IUnknown);
    for (REFIID iid : {IID_IOleClientSite, IID_IOleWindow, IID_IOleInPlaceSite,
                       IID_IDocHostUIHandler, IID_IDispatch}) {
        const ComPtr<IUnknown> face = Query<IUnknown>(site.get(), iid);
        ASSERT_TRUE(face);
        EXPECT_EQ(Query<IUnknown>(face.get(), IID_IUnknown).get(), identity.get());
        EXPECT_TRUE(Query<IOleClientSite>(face.get(), IID_IOleClientSite)) << "symmetric";
    }
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(site->QueryInterface(IID_IOleInPlaceFrame, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
}

TEST_F(WebBrowserHostTest, TheDocumentShowsWithoutBorderScrollBarsOrContextMenu) {
    const ComPtr<IDocHostUIHandler> ui =
        Query<IDocHostUIHandler>(Site().get(), IID_IDocHostUIHandler);
    ASSERT_TRUE(ui);
    DOCHOSTUIINFO info = {sizeof(info), 0, 0, nullptr, nullptr};
    ASSERT_EQ(ui->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, static_cast<DWORD>(DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO |
                                               DOCHOSTUIFLAG_DPI_AWARE));
    EXPECT_EQ(info.pchHostCss, nullptr);
    POINT where = {50, 50};
    EXPECT_EQ(ui->ShowContextMenu(CONTEXT_MENU_DEFAULT, &where, nullptr, nullptr), S_OK)
        << "handled: the browser shows no menu of its own";
    LPWSTR translated = reinterpret_cast<LPWSTR>(1);
    EXPECT_EQ(ui->TranslateUrl(0, const_cast<LPWSTR>(L"http://x/"), &translated), S_FALSE);
    EXPECT_EQ(translated, nullptr);
}

TEST_F(WebBrowserHostTest, TheAmbientDownloadOptionsAreImagesVideosAndSoundsWithoutControls) {
    const ComPtr<IDispatch> ambient = Query<IDispatch>(Site().get(), IID_IDispatch);
    ASSERT_TRUE(ambient);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT result;
    ::VariantInit(&result);
    ASSERT_EQ(ambient->Invoke(DISPID_AMBIENT_DLCONTROL, IID_NULL, LOCALE_USER_DEFAULT,
                              DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(V_VT(&result), VT_I4);
    EXPECT_EQ(V_I4(&result), DLCTL_DLIMAGES | DLCTL_VIDEOS | DLCTL_BGSOUNDS |
                                 DLCTL_NO_RUNACTIVEXCTLS | DLCTL_NO_DLACTIVEXCTLS | DLCTL_NO_JAVA |
                                 DLCTL_NO_BEHAVIORS);
    EXPECT_EQ(ambient->Invoke(DISPID_AMBIENT_USERAGENT, IID_NULL, LOCALE_USER_DEFAULT,
                              DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
}

TEST_F(WebBrowserHostTest, TheWindowContextIsTheHostInsideItsTopLevelFrame) {
    const ComPtr<IOleInPlaceSite> site = Query<IOleInPlaceSite>(Site().get(), IID_IOleInPlaceSite);
    ASSERT_TRUE(site);
    HWND window = nullptr;
    ASSERT_EQ(site->GetWindow(&window), S_OK);
    EXPECT_EQ(window, host_->hwnd());

    ComPtr<IOleInPlaceFrame> frame;
    ComPtr<IOleInPlaceUIWindow> document;
    RECT position = {};
    RECT clip = {};
    OLEINPLACEFRAMEINFO info = {sizeof(info), TRUE, nullptr, nullptr, 5};
    ASSERT_EQ(site->GetWindowContext(frame.put(), document.put(), &position, &clip, &info), S_OK);
    ASSERT_TRUE(frame);
    EXPECT_FALSE(document) << "the frame is the document window too";
    EXPECT_EQ(position.left, 0);
    EXPECT_EQ(position.top, 0);
    EXPECT_EQ(position.right, 345);
    EXPECT_EQ(position.bottom, 225);
    EXPECT_TRUE(::EqualRect(&clip, &position));
    EXPECT_EQ(info.cb, sizeof(info));
    EXPECT_FALSE(info.fMDIApp);
    EXPECT_EQ(info.hwndFrame, form_->hwnd());
    EXPECT_EQ(info.cAccelEntries, 0u);
    ASSERT_EQ(frame->GetWindow(&window), S_OK);
    EXPECT_EQ(window, form_->hwnd());
    BORDERWIDTHS widths = {1, 1, 1, 1};
    EXPECT_EQ(frame->RequestBorderSpace(&widths), INPLACE_E_NOTOOLSPACE);
}

TEST_F(WebBrowserHostTest, TheControlFetchesTheAddressAfterBeforeNavigate2) {
    const std::wstring address = Url("/actions/wallpaper_thumbs.php?un=a%40b.test&pw=x");
    ASSERT_TRUE(host_->Navigate(address));
    EXPECT_EQ(navigations_, std::vector<std::wstring>{address});
    ASSERT_TRUE(PumpUntil(
        [&] { return Requests("/actions/wallpaper_thumbs.php?un=a%40b.test&pw=x") == 1; }));
    EXPECT_TRUE(completed_.empty()) << "no engine, no document";
}

TEST_F(WebBrowserHostTest, ACancelledNavigationFetchesNothing) {
    ASSERT_TRUE(host_->Navigate(Url("/refused")));
    ASSERT_TRUE(host_->Navigate(Url("/allowed")));
    EXPECT_EQ(navigations_, (std::vector<std::wstring>{Url("/refused"), Url("/allowed")}));
    ASSERT_TRUE(PumpUntil([&] { return Requests("/allowed") == 1; }));
    EXPECT_EQ(Requests("/refused"), 0);
}

TEST_F(WebBrowserHostTest, EventsArriveThroughTheSinksInvokeWithTheirArguments) {
    EXPECT_EQ(FireBeforeNavigate2(host_->Browser(), L"http://x/refused?a=1"), VARIANT_TRUE);
    EXPECT_EQ(FireBeforeNavigate2(host_->Browser(), L"http://x/page"), VARIANT_FALSE);
    EXPECT_EQ(navigations_, (std::vector<std::wstring>{L"http://x/refused?a=1", L"http://x/page"}));

    FireDocumentComplete(host_->Browser(), L"res://ieframe.dll/dnserror.htm");
    EXPECT_EQ(completed_, std::vector<std::wstring>{L"res://ieframe.dll/dnserror.htm"});

    // A frame's document: the address reported is still the top-level one, the control's. Any
    // object other than the control stands for the frame's browser.
    const std::wstring top = Url("/top");
    host_->Navigate(top);
    ASSERT_TRUE(PumpUntil([&] { return Requests("/top") == 1; }));
    const ComPtr<IDispatch> frame = Query<IDispatch>(Site().get(), IID_IDispatch);
    FireDocumentComplete(host_->Browser(), L"http://x/inner-frame", frame.get());
    ASSERT_EQ(completed_.size(), 2u);
    EXPECT_EQ(completed_[1], top);
}

TEST_F(WebBrowserHostTest, TheSinkRefusesWhatIsNoEventOfItsOwn) {
    ComPtr<IDispatch> sink;
    ForEachConnectedSink(host_->Browser(),
                         [&sink](IDispatch* connected) { sink.share(connected); });
    ASSERT_TRUE(sink);
    EXPECT_TRUE(Query<IUnknown>(sink.get(), DIID_DWebBrowserEvents2));

    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(sink->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr,
                           nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(sink->Invoke(DISPID_TITLECHANGE, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr,
                           nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND)
        << "page titles go nowhere";
    EXPECT_TRUE(navigations_.empty());
}

TEST_F(WebBrowserHostTest, KeysInsideTheHostGoToTheActiveObjectFirst) {
    const ComPtr<IOleInPlaceSite> site = Query<IOleInPlaceSite>(Site().get(), IID_IOleInPlaceSite);
    ComPtr<IOleInPlaceFrame> frame;
    ComPtr<IOleInPlaceUIWindow> document;
    RECT position;
    RECT clip;
    OLEINPLACEFRAMEINFO info = {sizeof(info), FALSE, nullptr, nullptr, 0};
    ASSERT_EQ(site->GetWindowContext(frame.put(), document.put(), &position, &clip, &info), S_OK);

    FakeActiveObject active;
    ASSERT_EQ(frame->SetActiveObject(&active, L"control"), S_OK);
    EXPECT_EQ(active.references, 2u) << "the host keeps a reference while it is active";
    ::PostMessageA(host_->hwnd(), WM_KEYDOWN, VK_TAB, 0);
    ::PostMessageA(host_->hwnd(), WM_KEYDOWN, VK_F5, 0);
    ::PostMessageA(form_->hwnd(), WM_KEYDOWN, VK_TAB, 0);
    DispatchWaitingMessages();
    EXPECT_EQ(active.keys, (std::vector<int>{VK_TAB, VK_F5}))
        << "only keys for the host and the control inside it";

    // With Ctrl held, the keys that would open or print never reach the control.
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] |= 0x80;
    ::SetKeyboardState(keys);
    const HWND control = ::GetWindow(host_->hwnd(), GW_CHILD);
    for (const int key : {int('N'), int('O'), int('P'), int('L'), VK_F5}) {
        ::PostMessageA(control, WM_KEYDOWN, key, 0);
    }
    DispatchWaitingMessages();
    keys[VK_CONTROL] &= ~0x80;
    ::SetKeyboardState(keys);
    EXPECT_EQ(active.keys, (std::vector<int>{VK_TAB, VK_F5, VK_F5}));

    frame->SetActiveObject(nullptr, nullptr);
    EXPECT_EQ(active.references, 1u);
    ::PostMessageA(host_->hwnd(), WM_KEYDOWN, VK_TAB, 0);
    DispatchWaitingMessages();
    EXPECT_EQ(active.keys.size(), 3u);

    frame->SetActiveObject(&active, nullptr);
    frame.reset();
    host_->Destroy();
    EXPECT_EQ(active.references, 1u) << "the tear-down lets the active object go";
}

TEST_F(WebBrowserHostTest, DestroyingTheWindowClosesTheControlAndLetsEverythingGo) {
    ComPtr<IWebBrowser2> control;
    control.share(host_->Browser());

    host_->Destroy();
    EXPECT_FALSE(host_->HasBrowser());
    EXPECT_EQ(TheUi().liveBrowserHostObjects, 0) << "the control released site, frame and sink";
    EXPECT_EQ(ConnectedSinks(control.get()), 0) << "the sink is unadvised";
    ComPtr<IOleObject> ole = Query<IOleObject>(control.get(), IID_IOleObject);
    ComPtr<IOleClientSite> site;
    ole->GetClientSite(site.put());
    EXPECT_FALSE(site) << "the control has no client site any more";
    EXPECT_FALSE(host_->Navigate(L"http://x/"));
}

TEST_F(WebBrowserHostTest, AControlWhoseEventsCannotBeConnectedIsNoControl) {
    // The real control, asked for events it has no connection point for.
    struct DeafHost : TWebBrowserHost {
        DeafHost() { eventInterface_ = &IID_IOleObject; }
    } host;
    host.Create(form_->hwnd(), 0, 0, 100, 100);
    const int comObjects = TheUi().liveBrowserHostObjects;
    EXPECT_FALSE(host.CreateBrowser());
    EXPECT_FALSE(host.HasBrowser());
    EXPECT_FALSE(host.Navigate(L"http://x/"));
    host.Destroy();
    EXPECT_EQ(TheUi().liveBrowserHostObjects, comObjects) << "nothing of it is kept";
}

TEST_F(WebBrowserHostTest, HostsThatComeAndGoLeaveNothingBehind) {
    const auto hostForAWhile = [this] {
        TestForm form;
        TWebBrowserHost host;
        host.Create(form.hwnd(), 0, 0, 100, 100);
        ASSERT_TRUE(host.CreateBrowser());
        host.Navigate(Url("/many"));
        PumpUntil([this] { return Requests("/many") == 1; });
        service_.Reset();
        form.Destroy();  // the host window goes with its parent
        EXPECT_FALSE(host.HasBrowser());
    };
    // Wine's control finishes each fetch on thread-pool workers, which end some seconds later:
    // the objects are counted once none runs.
    const auto settle = [] { return PumpUntil([] { return !PoolWorkerRuns(); }); };
    hostForAWhile();
    ASSERT_TRUE(settle()) << "a thread of the fetch never ended";
    const int comObjects = TheUi().liveBrowserHostObjects;
    const ProcessObjects before = CountProcessObjects();
    for (int i = 0; i < 20; ++i) {
        hostForAWhile();
    }
    ASSERT_TRUE(settle()) << "a thread of the fetches never ended";
    EXPECT_EQ(TheUi().liveBrowserHostObjects, comObjects);
    EXPECT_EQ(CountProcessObjects(), before);
}

}  // namespace
