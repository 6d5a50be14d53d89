#include "service/http_setup.h"

#include "service/service_address.h"
#include "settings/settings_record.h"

void ConfigureHttpClient(HttpClient& client) {
    const SettingsRecord& settings = recSETTINGS;
    if (!settings.proxyuse) {
        return;
    }
    if (settings.proxytype == "http") {
        client.SetHttpProxy(settings.proxyhost, settings.proxyport, settings.proxyusername,
                            settings.proxypassword);
    } else if (settings.proxytype == "socks4") {
        // SOCKS 4 has only a user id, and it stays empty.
        client.SetSocksProxy(settings.proxyhost, settings.proxyport, SocksVersion::Socks4,
                             std::string(), std::string());
    } else if (settings.proxytype == "socks5") {
        client.SetSocksProxy(settings.proxyhost, settings.proxyport, SocksVersion::Socks5,
                             settings.proxyusername, settings.proxypassword);
    }
}

void PrepareHttpClient(HttpClient& client) {
    client.SetDefaultHost(ServiceHost, 80);
    ConfigureHttpClient(client);
}
