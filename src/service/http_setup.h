#pragma once
// The standard preparation of a client before every exchange.

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
};

ProxySettings CurrentProxySettings();

// Applies the proxy: "http", "socks4" or "socks5" (compared exactly) when proxyuse is on;
// anything else connects directly. Without settings given, those of the settings record.
void ConfigureHttpClient(HttpClient& client, const ProxySettings& proxy);
void ConfigureHttpClient(HttpClient& client);

// Default host ServiceHost and port 80, then ConfigureHttpClient.
void PrepareHttpClient(HttpClient& client, const ProxySettings& proxy);
void PrepareHttpClient(HttpClient& client);
