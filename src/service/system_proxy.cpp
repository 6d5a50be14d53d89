#include "service/system_proxy.h"

#include <windows.h>
#include <winhttp.h>

#include <optional>
#include <string>
#include <system_error>
#include <thread>

#include "ui/ansi_text.h"
#include "ui/win_handles.h"

namespace {

using UniqueWinHttp = UniqueResource<HINTERNET, &::WinHttpCloseHandle>;

// Each step of finding a script (resolving, connecting, sending, receiving) gives up after this.
constexpr int kLookupStepMs = 10000;

std::string Narrow(const UniqueGlobalText& text) {
    return text ? NarrowToAnsi(text.get()) : std::string();
}

// What a script or automatic detection gives for the address; nothing when neither finds one
// (no script at the address, no network to search), and the fixed proxy, if any, serves.
std::optional<ProxyRoute> ScriptRoute(const std::string& url, const std::string& host,
                                      bool autoDetect, const wchar_t* autoConfigUrl) {
    const UniqueWinHttp session(::WinHttpOpen(L"Mozilla/3.0 (compatible; MURLOX)",
                                              WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                              WINHTTP_NO_PROXY_BYPASS, 0));
    // A script's server that never answers ends the lookup, and its thread, within seconds, as a
    // sign-in retried every ten seconds would otherwise leave one thread waiting after another.
    if (!session || !::WinHttpSetTimeouts(session.get(), kLookupStepMs, kLookupStepMs,
                                          kLookupStepMs, kLookupStepMs)) {
        return std::nullopt;
    }
    WINHTTP_AUTOPROXY_OPTIONS options = {};
    // Both set: detection is tried first, then the script's address, as browsers do.
    if (autoDetect) {
        options.dwFlags |= WINHTTP_AUTOPROXY_AUTO_DETECT;
        options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
    }
    if (autoConfigUrl != nullptr) {
        options.dwFlags |= WINHTTP_AUTOPROXY_CONFIG_URL;
        options.lpszAutoConfigUrl = autoConfigUrl;
    }
    // A script behind a server that asks who the user is gets the Windows user's credentials.
    options.fAutoLogonIfChallenged = TRUE;
    WINHTTP_PROXY_INFO info = {};
    const std::wstring wideUrl = WidenAnsi(url);
    if (!::WinHttpGetProxyForUrl(session.get(), wideUrl.c_str(), &options, &info)) {
        return std::nullopt;
    }
    const UniqueGlobalText proxy(info.lpszProxy);
    const UniqueGlobalText bypass(info.lpszProxyBypass);
    if (info.dwAccessType != WINHTTP_ACCESS_TYPE_NAMED_PROXY || !proxy) {
        return DirectRoute();
    }
    return FixedProxyRoute(Narrow(proxy), Narrow(bypass), host);
}

ProxyRoute FindRoute(const std::string& url) {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config = {};
    if (!::WinHttpGetIEProxyConfigForCurrentUser(&config)) {
        return DirectRoute();
    }
    const UniqueGlobalText autoConfigUrl(config.lpszAutoConfigUrl);
    const UniqueGlobalText proxy(config.lpszProxy);
    const UniqueGlobalText bypass(config.lpszProxyBypass);
    const std::string host = AddressHost(url);
    if (config.fAutoDetect || autoConfigUrl) {
        if (std::optional<ProxyRoute> route =
                ScriptRoute(url, host, config.fAutoDetect != FALSE, autoConfigUrl.get())) {
            return *route;
        }
    }
    if (proxy) {
        return FixedProxyRoute(Narrow(proxy), Narrow(bypass), host);
    }
    return DirectRoute();
}

class WindowsUserProxy : public SystemProxy {
  protected:
    void StartLookup(const std::string& url, std::shared_ptr<ProxyLookup> lookup) override {
        // The thread holds the lookup: an exchange that stopped waiting for it leaves the answer
        // to the next one. Without a thread to be had, the exchanges go direct until the routes
        // are next forgotten, rather than wait for an answer that never comes.
        try {
            std::thread([url, lookup] { lookup->Put(FindRoute(url)); }).detach();
        } catch (const std::system_error&) {
            lookup->Put(DirectRoute());
        }
    }
};

}  // namespace

std::shared_ptr<SystemProxy> MakeWindowsUserProxy() {
    return std::make_shared<WindowsUserProxy>();
}
