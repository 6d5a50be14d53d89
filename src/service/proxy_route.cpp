#include "service/proxy_route.h"

#include <curl/curl.h>

#include <utility>

#include "settings/text_convert.h"

namespace {

bool IsSeparator(char c) {
    return c == ';' || c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The entries of a list apart by ";", "," or blanks.
std::vector<std::string> ListEntries(const std::string& list) {
    std::vector<std::string> entries;
    size_t i = 0;
    while (i < list.size()) {
        while (i < list.size() && IsSeparator(list[i])) {
            ++i;
        }
        const size_t start = i;
        while (i < list.size() && !IsSeparator(list[i])) {
            ++i;
        }
        if (i > start) {
            entries.push_back(list.substr(start, i - start));
        }
    }
    return entries;
}

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

std::string WithoutScheme(const std::string& entry) {
    const size_t scheme = entry.find("://");
    return scheme == std::string::npos ? entry : entry.substr(scheme + 3);
}

// "host:port", "host" or "[v6]:port", with a path after it left out; nothing when it names no host
// or no valid port.
std::optional<ProxyHop> ParseHop(const std::string& entry) {
    std::string address = WithoutScheme(entry);
    address = address.substr(0, address.find('/'));
    ProxyHop hop;
    hop.port = 80;
    size_t portColon = std::string::npos;
    if (StartsWith(address, "[")) {
        const size_t close = address.find(']');
        if (close == std::string::npos) {
            return std::nullopt;
        }
        hop.host = address.substr(1, close - 1);
        if (close + 1 < address.size()) {
            if (address[close + 1] != ':') {
                return std::nullopt;
            }
            portColon = close + 1;
        }
    } else {
        portColon = address.rfind(':');
        hop.host = address.substr(0, portColon);
    }
    if (portColon != std::string::npos) {
        const std::string port = address.substr(portColon + 1);
        hop.port = SafeStrToInt(port);
        if (port.find_first_not_of("0123456789") != std::string::npos || hop.port <= 0 ||
            hop.port > 65535) {
            return std::nullopt;
        }
    }
    if (hop.host.empty()) {
        return std::nullopt;
    }
    return hop;
}

// Matches the pattern, "*" standing for any run of characters, against the whole text; both in
// lower case already.
bool Matches(const std::string& pattern, const std::string& text) {
    size_t p = 0;
    size_t t = 0;
    size_t star = std::string::npos;
    size_t resumeAt = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resumeAt = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

// A bypass entry as it matches hosts: no scheme, no port, in lower case.
std::string BypassPattern(const std::string& entry) {
    std::string pattern = LowerCase(WithoutScheme(entry));
    if (StartsWith(pattern, "[")) {
        const size_t close = pattern.find(']');
        return close == std::string::npos ? pattern : pattern.substr(1, close - 1);
    }
    const size_t colon = pattern.find(':');
    // One colon is a port; more are an IPv6 address written bare.
    if (colon != std::string::npos && pattern.find(':', colon + 1) == std::string::npos) {
        pattern.erase(colon);
    }
    return pattern;
}

// The scheme, host and port of an address as libcurl reads it, in lower case; each empty when the
// address has none (the port when it is not written).
struct AddressParts {
    explicit AddressParts(const std::string& url) {
        std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parsed(curl_url(), curl_url_cleanup);
        if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), CURLU_GUESS_SCHEME) !=
                           CURLUE_OK) {
            return;
        }
        const auto part = [&](CURLUPart which) {
            char* text = nullptr;
            std::string found;
            if (curl_url_get(parsed.get(), which, &text, 0) == CURLUE_OK) {
                found = LowerCase(text);
            }
            curl_free(text);
            return found;
        };
        host = part(CURLUPART_HOST);
        if (!host.empty()) {
            scheme = part(CURLUPART_SCHEME);
            port = part(CURLUPART_PORT);
        }
    }

    std::string scheme;
    std::string host;
    std::string port;
};

}  // namespace

ProxyRoute DirectRoute() {
    return {ProxyHop{}};
}

std::string AddressHost(const std::string& url) {
    std::string host = AddressParts(url).host;
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    return host;
}

std::string AddressOrigin(const std::string& url) {
    const AddressParts parts(url);
    if (parts.host.empty()) {
        return {};
    }
    return parts.scheme + "://" + parts.host + (parts.port.empty() ? "" : ":" + parts.port) + "/";
}

ProxyRoute ParseProxyList(const std::string& list) {
    ProxyRoute route;
    // A script's word before an address: "PROXY" (or "HTTP") names one to use, "SOCKS" and
    // "HTTPS" one of a kind this transport does not take there.
    enum class Word { None, Use, Skip } word = Word::None;
    for (const std::string& entry : ListEntries(list)) {
        const std::string lower = LowerCase(entry);
        if (lower == "direct") {
            route.push_back(ProxyHop{});
            word = Word::None;
            continue;
        }
        if (lower == "proxy" || lower == "http") {
            word = Word::Use;
            continue;
        }
        if (lower == "socks" || lower == "socks4" || lower == "socks5" || lower == "https") {
            word = Word::Skip;
            continue;
        }
        const Word before = std::exchange(word, Word::None);
        if (before == Word::Skip) {
            continue;
        }
        std::string address = entry;
        const size_t equals = entry.find('=');
        if (before == Word::None && equals != std::string::npos) {
            if (LowerCase(entry.substr(0, equals)) != "http") {
                continue;
            }
            address = entry.substr(equals + 1);
        }
        if (const std::optional<ProxyHop> hop = ParseHop(address)) {
            route.push_back(*hop);
        }
        if (route.size() == kMostProxyWays) {
            break;
        }
    }
    return route.empty() ? DirectRoute() : route;
}

bool BypassesProxy(const std::string& bypassList, const std::string& givenHost) {
    const std::string host = LowerCase(givenHost);
    for (const std::string& entry : ListEntries(bypassList)) {
        if (LowerCase(entry) == "<local>") {
            if (!host.empty() && host.find('.') == std::string::npos &&
                host.find(':') == std::string::npos) {
                return true;
            }
            continue;
        }
        const std::string pattern = BypassPattern(entry);
        if (!pattern.empty() && Matches(pattern, host)) {
            return true;
        }
    }
    return false;
}

ProxyRoute FixedProxyRoute(const std::string& proxyList, const std::string& bypassList,
                           const std::string& host) {
    return BypassesProxy(bypassList, host) ? DirectRoute() : ParseProxyList(proxyList);
}

void ProxyLookup::Put(ProxyRoute route) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        route_ = std::move(route);
    }
    found_.notify_all();
}

std::optional<ProxyRoute> ProxyLookup::WaitFor(std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> lock(mutex_);
    found_.wait_for(lock, wait, [this] { return route_.has_value(); });
    return route_;
}

std::shared_ptr<ProxyLookup> SystemProxy::RouteFor(const std::string& url) {
    const std::string host = AddressHost(url);
    std::shared_ptr<ProxyLookup> lookup;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        std::shared_ptr<ProxyLookup>& kept = routes_[host];
        if (kept) {
            return kept;
        }
        kept = lookup = std::make_shared<ProxyLookup>();
    }
    // Outside the lock: a lookup that answers at once may be asked for another host meanwhile.
    StartLookup(AddressOrigin(url), lookup);
    return lookup;
}

void SystemProxy::Forget() {
    const std::lock_guard<std::mutex> lock(mutex_);
    routes_.clear();
}

void SystemProxy::RouteFailed(const std::string& url) {
    const std::string host = AddressHost(url);
    const std::lock_guard<std::mutex> lock(mutex_);
    routes_.erase(host);
}
