#include "support/browser_events.h"

#include <exdispid.h>
#include <ocidl.h>
#include <oleauto.h>
#include <shobjidl.h>

#include <functional>
#include <vector>

#include "support/counted_com_object.h"
#include "ui/win_handles.h"

namespace {

// The sinks as the enumerator hands them out.
std::vector<IUnknown*> EnumeratedSinks(IConnectionPoint* source) {
    std::vector<IUnknown*> sinks;
    ComPtr<IEnumConnections> connections;
    if (SUCCEEDED(source->EnumConnections(connections.put()))) {
        CONNECTDATA connection;
        while (connections->Next(1, &connection, nullptr) == S_OK) {
            sinks.push_back(connection.pUnk);
        }
    }
    return sinks;
}

// Each sink with a reference of our own: the enumerator's, when it gave one.
std::vector<ComPtr<IUnknown>> Owned(const std::vector<IUnknown*>& sinks, bool referenced) {
    std::vector<ComPtr<IUnknown>> owned(sinks.size());
    for (size_t i = 0; i < sinks.size(); ++i) {
        if (referenced) {
            *owned[i].put() = sinks[i];
        } else {
            owned[i].share(sinks[i]);
        }
    }
    return owned;
}

// The documentation has the enumerator hand out each sink with a reference that the caller
// releases; Wine 8's control hands them out without one. A probe sink, connected for the moment,
// tells which of the two this control does.
bool EnumeratorAddsReferences(IConnectionPoint* source) {
    // A sink that only counts its references.
    CountedComObject<IUnknown> probe({IID_IDispatch, DIID_DWebBrowserEvents2});
    DWORD cookie = 0;
    if (FAILED(source->Advise(&probe, &cookie))) {
        return true;
    }
    const ULONG advised = probe.references;
    const std::vector<IUnknown*> sinks = EnumeratedSinks(source);
    const bool adds = probe.references > advised;
    Owned(sinks, adds);  // and let go at once
    source->Unadvise(cookie);
    return adds;
}

// The event's sender: the named frame, or the control's own automation object.
ComPtr<IDispatch> Sender(IWebBrowser2* browser, IDispatch* frame) {
    ComPtr<IDispatch> sender;
    if (frame) {
        sender.share(frame);
    } else {
        browser->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(sender.put()));
    }
    return sender;
}

void Invoke(IDispatch* sink, DISPID member, std::vector<VARIANT>& lastFirst) {
    DISPPARAMS parameters = {lastFirst.data(), nullptr, static_cast<UINT>(lastFirst.size()), 0};
    sink->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr,
                 nullptr, nullptr);
}

VARIANT ByReference(VARIANT* value) {
    VARIANT reference;
    ::VariantInit(&reference);
    V_VT(&reference) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&reference) = value;
    return reference;
}

VARIANT Text(BSTR text) {
    VARIANT value;
    ::VariantInit(&value);
    V_VT(&value) = VT_BSTR;
    V_BSTR(&value) = text;
    return value;
}

VARIANT Object(IDispatch* object) {
    VARIANT value;
    ::VariantInit(&value);
    V_VT(&value) = VT_DISPATCH;
    V_DISPATCH(&value) = object;
    return value;
}

VARIANT ObjectReference(IDispatch** object) {
    VARIANT reference;
    ::VariantInit(&reference);
    V_VT(&reference) = VT_BYREF | VT_DISPATCH;
    V_DISPATCHREF(&reference) = object;
    return reference;
}

// Fires the event at every sink with the arguments (last first) made around a reference to its
// cancel flag, and returns the flag as the sinks left it.
VARIANT_BOOL FireCancellable(IWebBrowser2* browser, DISPID member,
                             const std::function<std::vector<VARIANT>(const VARIANT&)>& lastFirst) {
    VARIANT_BOOL cancel = VARIANT_FALSE;
    ForEachConnectedSink(browser, [&](IDispatch* sink) {
        VARIANT cancelReference;
        ::VariantInit(&cancelReference);
        V_VT(&cancelReference) = VT_BYREF | VT_BOOL;
        V_BOOLREF(&cancelReference) = &cancel;
        std::vector<VARIANT> arguments = lastFirst(cancelReference);
        Invoke(sink, member, arguments);
    });
    return cancel;
}

}  // namespace

void ForEachConnectedSink(IWebBrowser2* browser, const std::function<void(IDispatch*)>& visit) {
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> source;
    if (!browser ||
        FAILED(browser->QueryInterface(IID_IConnectionPointContainer,
                                       reinterpret_cast<void**>(container.put()))) ||
        FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, source.put()))) {
        return;
    }
    const bool adds = EnumeratorAddsReferences(source.get());
    for (const ComPtr<IUnknown>& sink : Owned(EnumeratedSinks(source.get()), adds)) {
        ComPtr<IDispatch> events;
        if (SUCCEEDED(
                sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(events.put())))) {
            visit(events.get());
        }
    }
}

VARIANT_BOOL FireBeforeNavigate2(IWebBrowser2* browser, const std::wstring& address,
                                 IDispatch* frame) {
    const ComPtr<IDispatch> sender = Sender(browser, frame);
    const UniqueBstr url = NewBstr(address);
    VARIANT urlValue = Text(url.get());
    VARIANT flags;
    ::VariantInit(&flags);
    V_VT(&flags) = VT_I4;
    VARIANT targetFrame = Text(nullptr);
    VARIANT postData;
    ::VariantInit(&postData);
    VARIANT headers = Text(nullptr);
    return FireCancellable(browser, DISPID_BEFORENAVIGATE2, [&](const VARIANT& cancel) {
        return std::vector<VARIANT>{cancel,
                                    ByReference(&headers),
                                    ByReference(&postData),
                                    ByReference(&targetFrame),
                                    ByReference(&flags),
                                    ByReference(&urlValue),
                                    Object(sender.get())};
    });
}

VARIANT_BOOL FireNewWindow2(IWebBrowser2* browser) {
    IDispatch* newBrowser = nullptr;
    return FireCancellable(browser, DISPID_NEWWINDOW2, [&](const VARIANT& cancel) {
        return std::vector<VARIANT>{cancel, ObjectReference(&newBrowser)};
    });
}

VARIANT_BOOL FireNewWindow3(IWebBrowser2* browser, const std::wstring& address) {
    IDispatch* newBrowser = nullptr;
    const UniqueBstr url = NewBstr(address);
    VARIANT flags;
    ::VariantInit(&flags);
    V_VT(&flags) = VT_UI4;
    V_UI4(&flags) = NWMF_USERINITED;
    return FireCancellable(browser, DISPID_NEWWINDOW3, [&](const VARIANT& cancel) {
        return std::vector<VARIANT>{Text(url.get()), Text(nullptr), flags, cancel,
                                    ObjectReference(&newBrowser)};
    });
}

VARIANT_BOOL FireFileDownload(IWebBrowser2* browser, bool activeDocument) {
    VARIANT active;
    ::VariantInit(&active);
    V_VT(&active) = VT_BOOL;
    V_BOOL(&active) = activeDocument ? VARIANT_TRUE : VARIANT_FALSE;
    return FireCancellable(browser, DISPID_FILEDOWNLOAD, [&](const VARIANT& cancel) {
        return std::vector<VARIANT>{cancel, active};
    });
}

void FireDocumentComplete(IWebBrowser2* browser, const std::wstring& address, IDispatch* frame) {
    const ComPtr<IDispatch> sender = Sender(browser, frame);
    const UniqueBstr url = NewBstr(address);
    VARIANT urlValue = Text(url.get());
    ForEachConnectedSink(browser, [&](IDispatch* sink) {
        std::vector<VARIANT> lastFirst = {ByReference(&urlValue), Object(sender.get())};
        Invoke(sink, DISPID_DOCUMENTCOMPLETE, lastFirst);
    });
}

int ConnectedSinks(IWebBrowser2* browser) {
    int count = 0;
    ForEachConnectedSink(browser, [&count](IDispatch*) { ++count; });
    return count;
}
