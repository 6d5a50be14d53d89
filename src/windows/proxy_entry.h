#pragma once
// The proxy page of the settings window, apart from the window: the list entries and their
// stored names, the realm rule and the check of an entry.

#include <string>
#include <string_view>

inline constexpr const char* kInvalidPortMessage = "Please enter a valid port number!";
inline constexpr const char* kMissingProxyHostMessage =
    "Please enter at least the hostname and port of your proxy server!";

// The list's captions, in list order; index i is stored as ProxyTypeName(i).
inline constexpr const char* kProxyTypeCaptions[] = {"HTTP Proxy", "Socks Version 4",
                                                     "Socks Version 5"};
// "http", "socks4" or "socks5" for index 0, 1 or 2.
std::string ProxyTypeName(int index);
// The index of a stored type, exactly as spelt; -1 for any other text.
int ProxyTypeIndex(std::string_view name);

// A realm exists only for an HTTP proxy; the SOCKS entries (index above 0) have none.
bool ProxyRealmAvailable(int typeIndex);

// The message that refuses the host and port texts as typed, or an empty text. The port comes
// first: a port that is not a non-zero 32-bit number is refused whatever the host.
std::string ProxyEntryMessage(std::string_view host, std::string_view port);
