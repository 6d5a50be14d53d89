#pragma once
// The HTTP transport every exchange with the service uses: one client per exchange, HTTP/1.x over
// TCP, directly or through an HTTP, SOCKS 4 or SOCKS 5 proxy. Built on libcurl.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "service/http_limits.h"
#include "service/proxy_route.h"

// Any failed exchange: no host in the URL, host or proxy unreachable, a broken connection, a SOCKS
// refusal, a status outside 200-299 (redirects are not followed), a transfer gone silent, too slow
// or past its deadline, or a reply or its headers larger than their limit.
class HttpError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// An exchange given up on purpose (the program ends, its window was closed): not a failure of the
// service, and nothing the user should hear of.
class HttpAbandoned : public HttpError {
  public:
    explicit HttpAbandoned(const char* why = "the program ends")
        : HttpError(std::string("the exchange was abandoned: ") + why) {}
};

// The end of the program: every exchange running now, on any thread, stops at its next waiting
// slice or block received (within a quarter of a second) with HttpAbandoned, and every later one
// before it starts. A server that trickles could otherwise hold the program for hours.
void AbandonExchanges();
// Exchanges run again (tests start the client several times in one process).
void ResumeExchanges();
bool ExchangesAbandoned();

// While an exchange waits on the thread that set it, the keep-alive's pump runs at least once a
// slice (125 ms while connecting, 250 ms otherwise), whether bytes come or not, and, unless
// onlyWhenIdle, after every chunk received, so that windows repaint and timers tick. Threads
// without one never pump.
struct KeepAlive {
    std::function<void()> pump;
    bool onlyWhenIdle = false;
};

// Makes a keep-alive the calling thread's current one for the scope's lifetime; the previous one
// is in force again afterwards.
class KeepAliveScope {
  public:
    explicit KeepAliveScope(KeepAlive keepAlive);
    KeepAliveScope(const KeepAliveScope&) = delete;
    KeepAliveScope& operator=(const KeepAliveScope&) = delete;
    ~KeepAliveScope();

  private:
    const KeepAlive* previous_;
    KeepAlive keepAlive_;
};

// Download progress: the expected size (0 when unknown) before the body, the bytes received
// since the previous event after each block, and the end.
struct DownloadEvents {
    std::function<void(int64_t expected)> workBegin;
    std::function<void(int64_t received)> work;
    std::function<void()> workEnd;
};

enum class SocksVersion { Socks4, Socks5 };

class HttpClient {
  public:
    // With the limits of the service's state; only on the user-interface thread.
    HttpClient();
    // With the limits given, on any thread.
    explicit HttpClient(const HttpLimits& limits);
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;
    ~HttpClient();

    // The full URL of each request decides where it goes; these defaults never do.
    void SetDefaultHost(const std::string& host, int port);
    void SetContentType(const std::string& contentType);
    void SetHttpProxy(const std::string& host, int port, const std::string& userName,
                      const std::string& password);
    void SetSocksProxy(const std::string& host, int port, SocksVersion version,
                       const std::string& userName, const std::string& password);
    // Without a proxy of its own, each exchange takes the route the system gives for its address,
    // waiting for it no longer than the limits' proxyLookup, and tries its ways in order while one
    // cannot be reached. A proxy that asks for credentials gets the user name given, or else the
    // Windows user's own (NTLM or Negotiate).
    void SetSystemProxy(std::shared_ptr<SystemProxy> system, const std::string& userName,
                        const std::string& password);

    // HTTP/1.1 GET of the whole body, at most maxReplyBytes.
    std::string Get(const std::string& url);
    // HTTP/1.1 GET written block by block to the sink, with progress events; at most
    // maxDownloadBytes.
    void Get(const std::string& url, const std::function<void(const char*, size_t)>& sink,
             const DownloadEvents& events);
    // HTTP/1.0 POST of the lines as an encoded body; returns the whole reply body, at most
    // maxReplyBytes.
    std::string Post(const std::string& url, const std::vector<std::string>& lines);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// The posted-body encoding: "+" for a blank, letters and digits unchanged, every other byte "%XX".
std::string EncodePostedLine(const std::string& text);
