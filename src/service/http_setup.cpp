#include "service/http_setup.h"

#include "service/service_address.h"
#include "service/service_state.h"
#include "settings/settings_record.h"

ProxySettings CurrentProxySettings() {
    const SettingsRecord& s = recSETTINGS;
    return {s.proxyuse,
            s.proxytype,
            s.proxyhost,
            s.proxyport,
            s.proxyusername,
            s.proxypassword,
            TheServiceState().systemProxy};
}

void ConfigureHttpClient(HttpClient& client, const ProxySettings& proxy) {
    if (!proxy.proxyuse) {
        if (proxy.system) {
            client.SetSystemProxy(proxy.system, proxy.proxyusername, proxy.proxypassword);
        }
        return;
    }
    if (proxy.proxytype == "http") {
        client.SetHttpProxy(proxy.proxyhost, proxy.proxyport, proxy.proxyusername,
                            proxy.proxypassword);
    } else if (proxy.proxytype == "socks4") {
        // SOCKS 4 has only a user id, and it stays empty.
        client.SetSocksProxy(proxy.proxyhost, proxy.proxyport, SocksVersion::Socks4, std::string(),
                             std::string());
    } else if (proxy.proxytype == "socks5") {
        client.SetSocksProxy(proxy.proxyhost, proxy.proxyport, SocksVersion::Socks5,
                             proxy.proxyusername, proxy.proxypassword);
    }
}

void ConfigureHttpClient(HttpClient& client) {
    ConfigureHttpClient(client, CurrentProxySettings());
}

void ForgetSystemRoutes() {
    if (const std::shared_ptr<SystemProxy>& system = TheServiceState().systemProxy) {
        system->Forget();
    }
}

void PrepareHttpClient(HttpClient& client, const ProxySettings& proxy) {
    client.SetDefaultHost(ServiceHost, 80);
    ConfigureHttpClient(client, proxy);
}

void PrepareHttpClient(HttpClient& client) {
    PrepareHttpClient(client, CurrentProxySettings());
}
