#pragma once

#include <chrono>
#include <cstdint>

// How long an exchange may wait and how much it may receive. Without limits a silent server would
// keep a sign-in busy for ever, one that trickles a byte now and then would never trip the silence,
// one that sends just above the minimal rate would hold a download (and with it every later
// exchange) for hours, and one that keeps sending would fill the disk or the memory. Each limit
// fails the exchange like a dropped connection; tests make them smaller. The clients of the
// program's exchanges start with those of the service's state (service/service_state.h).
struct HttpLimits {
    std::chrono::milliseconds connect;
    std::chrono::milliseconds silence;  // a transfer that receives no byte for this long fails
    long slowBytesPerSecond;            // a transfer slower than this ...
    std::chrono::seconds slowFor;       // ... for this long fails
    int64_t maxReplyBytes;              // a reply taken as text: XML, sign-in, session id
    int64_t maxDownloadBytes;           // a download handed to a sink: far above any wallpaper
    // The whole exchange, from the start of its connection to its last byte.
    std::chrono::milliseconds replyDeadline;     // a reply taken as text
    std::chrono::milliseconds downloadDeadline;  // a download: a large wallpaper on a slow line
    int64_t maxHeaderBytes;                      // the reply's status line and headers together
    // The longest an exchange waits for the system's proxy to be found for its address (a script
    // to run, a network to search) before it connects directly. The answer that comes later
    // serves the exchanges after it.
    std::chrono::milliseconds proxyLookup;
};
inline constexpr HttpLimits kHttpLimits{
    std::chrono::seconds(30),  std::chrono::seconds(120), 1024,
    std::chrono::seconds(120), int64_t{1} << 20,          int64_t{64} << 20,
    std::chrono::minutes(3),   std::chrono::minutes(20),  int64_t{64} << 10,
    std::chrono::seconds(2)};
