#pragma once
// The way an exchange takes to an address when the client's own proxy is off: what the Windows
// user's proxy settings give for that address (a fixed proxy with its bypass list, or the answer of
// a proxy auto-configuration script or of automatic detection), as HTTP proxies to try in order
// and the direct connection.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// One way to try: an HTTP proxy, or the direct connection when the host is empty.
struct ProxyHop {
    std::string host;
    int port = 0;

    bool Direct() const { return host.empty(); }
    bool operator==(const ProxyHop& other) const {
        return host == other.host && port == other.port;
    }
};
using ProxyRoute = std::vector<ProxyHop>;

// The direct connection alone.
ProxyRoute DirectRoute();

// The host of an address, in lower case and without brackets or port; empty when it has none.
std::string AddressHost(const std::string& url);

// The scheme, host and port of an address, as "http://host:port/" (without the port when it is
// not written); empty when it has no host. This is what a lookup is told: the login's address
// carries the user's password, and a proxy script comes from the network and sees what it is
// given.
std::string AddressOrigin(const std::string& url);

// The most ways a route gives, the first of its list: each that cannot be reached costs a
// connection attempt, and a script from the network may name any number.
inline constexpr size_t kMostProxyWays = 8;

// The proxies of a list as Windows keeps or a script returns it, for addresses of the http scheme:
// entries apart by ";" or blanks, each "host:port" (port 80 when absent, "http://" allowed before
// it), "http=host:port" (other schemes' entries do not apply), "PROXY host:port" and "DIRECT".
// An empty list, or one with no entry that applies, is the direct connection; at most
// kMostProxyWays of them.
ProxyRoute ParseProxyList(const std::string& list);

// Whether a bypass list, as Windows keeps it, sends the host direct: entries apart by ";" or
// blanks, matched against the host without regard to case, "*" standing for any run of
// characters; "<local>" stands for every host name without a dot. A scheme before an entry
// ("http://") and a port after it are no part of what it matches.
bool BypassesProxy(const std::string& bypassList, const std::string& host);

// The way a fixed proxy setting gives for the host.
ProxyRoute FixedProxyRoute(const std::string& proxyList, const std::string& bypassList,
                           const std::string& host);

// A route being found, filled once by its lookup on whatever thread runs it and read by the
// exchanges of every thread.
class ProxyLookup {
  public:
    void Put(ProxyRoute route);
    // The route once it is known, waiting at most `wait` for it.
    std::optional<ProxyRoute> WaitFor(std::chrono::milliseconds wait);
    // An exchange waited for it as long as it may: the later ones do not wait again.
    void SetOverdue() { overdue_ = true; }
    bool Overdue() const { return overdue_; }

  private:
    std::mutex mutex_;
    std::condition_variable found_;
    std::optional<ProxyRoute> route_;
    std::atomic<bool> overdue_{false};
};

// Where the exchanges ask for a route when the client's own proxy is off. The routes are found per
// host and kept for the session: a lookup may run a script or search the network for one.
class SystemProxy {
  public:
    virtual ~SystemProxy() = default;

    // The lookup of the address's route: one already found or under way for its host, or a new one
    // started now. Never waits for it.
    std::shared_ptr<ProxyLookup> RouteFor(const std::string& url);
    // Forgets every route: a new sign-in, a resume, another network may give other answers.
    void Forget();
    // A way of the host's route could not be reached: the network may have changed, so the next
    // exchange looks again.
    void RouteFailed(const std::string& url);

  protected:
    // Finds the route of the address (as AddressOrigin gives it) and puts it into the lookup, on a
    // thread of its own or at once.
    virtual void StartLookup(const std::string& url, std::shared_ptr<ProxyLookup> lookup) = 0;

  private:
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<ProxyLookup>> routes_;
};
