#pragma once
// The standard preparation of a client before every exchange.

#include <memory>
#include <string>

#include "service/http_client.h"

// The proxy fields of the settings record, copied so that a worker thread never reads the record
// while the user-interface thread may change it.
struct ProxySettings {
    bool proxyuse = false;
    std::string proxytype;
    std::string proxyhost;
    int proxyport = 0;
    std::string proxyusername;
    std::string proxypassword;
    // Where the routes come from while proxyuse is off: the system's settings for the Windows
    // user; none connects directly.
    std::shared_ptr<SystemProxy> system;
};

ProxySettings CurrentProxySettings();

// Applies the proxy: "http", "socks4" or "socks5" (compared exactly) when proxyuse is on; another
// type connects directly. With proxyuse off, the system's proxy with the proxy user name, if any.
// Without settings given, those of the settings record.
void ConfigureHttpClient(HttpClient& client, const ProxySettings& proxy);
void ConfigureHttpClient(HttpClient& client);

// A sign-in or a resume from sleep: the network may be another, so the system's routes are looked
// for again.
void ForgetSystemRoutes();

// Default host ServiceHost and port 80, then ConfigureHttpClient.
void PrepareHttpClient(HttpClient& client, const ProxySettings& proxy);
void PrepareHttpClient(HttpClient& client);
