#pragma once
// The standard preparation of a client before every exchange.

#include "service/http_client.h"

// Applies the proxy of the settings record: "http", "socks4" or "socks5" (compared exactly) when
// proxyuse is on; anything else connects directly.
void ConfigureHttpClient(HttpClient& client);

// Default host ServiceHost and port 80, then ConfigureHttpClient.
void PrepareHttpClient(HttpClient& client);
