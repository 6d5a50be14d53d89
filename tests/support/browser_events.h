#pragma once
// Fires DWebBrowserEvents2 at the sinks connected to a browser control, through their
// IDispatch::Invoke with the arguments the control passes, for the events that Wine's control
// never raises because it has no HTML engine (see tests/components/web_browser_host_test.cpp).

#include <windows.h>
#include <exdisp.h>

#include <functional>
#include <string>

// BeforeNavigate2 for the address, from the top-level browser unless a frame is named; returns
// the cancel flag as the sinks left it.
VARIANT_BOOL FireBeforeNavigate2(IWebBrowser2* browser, const std::wstring& address,
                                 IDispatch* frame = nullptr);

// NewWindow2, NewWindow3 (a window for the address, opened by the user) and FileDownload (of a
// document the control would show itself, or of a file); each returns the cancel flag as the
// sinks left it.
VARIANT_BOOL FireNewWindow2(IWebBrowser2* browser);
VARIANT_BOOL FireNewWindow3(IWebBrowser2* browser, const std::wstring& address);
VARIANT_BOOL FireFileDownload(IWebBrowser2* browser, bool activeDocument);

// DocumentComplete for the address, from the top-level browser unless a frame is named.
void FireDocumentComplete(IWebBrowser2* browser, const std::wstring& address,
                          IDispatch* frame = nullptr);

// Calls visit with each sink connected to the control's DWebBrowserEvents2.
void ForEachConnectedSink(IWebBrowser2* browser, const std::function<void(IDispatch*)>& visit);

// How many sinks are connected to the control's DWebBrowserEvents2.
int ConnectedSinks(IWebBrowser2* browser);
