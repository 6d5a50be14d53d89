#pragma once
// A loopback TCP listener for tests that must see the very bytes a client sends. Each connection
// is either passed on to a target port (a recording relay in front of a real proxy) or answered
// with a canned reply once the request head has arrived.

#include <memory>
#include <string>
#include <vector>

class TcpTap {
  public:
    // Relays every connection to 127.0.0.1:targetPort.
    explicit TcpTap(int targetPort);
    // Answers every connection with the pieces of one reply, sent 100 ms apart, then closes.
    explicit TcpTap(std::vector<std::string> replyPieces);
    TcpTap(const TcpTap&) = delete;
    TcpTap& operator=(const TcpTap&) = delete;
    ~TcpTap();

    int Port() const;
    // What the clients sent, one text per connection in the order they were accepted.
    std::vector<std::string> Received() const;

  private:
    struct Loop;
    std::unique_ptr<Loop> loop_;
};

// A loopback port that nothing listens on (it was free a moment ago).
int UnusedLoopbackPort();
