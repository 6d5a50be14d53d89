#pragma once
// Where the service is: ServiceHost on port 80, unless MURLOX_SERVICE=host:port names another
// address (the tests and the demo point the client at a local stand-in that way).

#include <string>

inline constexpr const char* ServiceHost = "www.murlox.com";

// "http://" + host + ":" + port + path, for the service's scripts and pages.
std::string ServiceUrl(const std::string& path);

// The host (and, for a replaced address, its port) directly followed by the path, with no
// scheme: the form some account pages are opened with.
std::string ServiceShortAddress(const std::string& path);
