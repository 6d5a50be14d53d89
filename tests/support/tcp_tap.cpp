#include "support/tcp_tap.h"

#ifdef _WIN32
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601  // WSAPoll
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace {

#ifdef _WIN32
using Socket = SOCKET;
const Socket kNoSocket = INVALID_SOCKET;
constexpr int kSendFlags = 0;
constexpr int kShutdownWrite = SD_SEND;
int Poll(pollfd* fds, size_t count, int milliseconds) {
    return WSAPoll(fds, static_cast<ULONG>(count), milliseconds);
}
void CloseSocket(Socket s) {
    closesocket(s);
}

// Winsock wants to be started by every user; the calls are counted.
struct SocketLibrary {
    SocketLibrary() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~SocketLibrary() { WSACleanup(); }
};
#else
using Socket = int;
const Socket kNoSocket = -1;
constexpr int kSendFlags = MSG_NOSIGNAL;
constexpr int kShutdownWrite = SHUT_WR;
int Poll(pollfd* fds, size_t count, int milliseconds) {
    return poll(fds, count, milliseconds);
}
void CloseSocket(Socket s) {
    close(s);
}
struct SocketLibrary {
    SocketLibrary() {}  // nothing to start here
};
#endif

constexpr auto kPiecePause = std::chrono::milliseconds(100);

sockaddr_in LoopbackAddress(int port) {
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<unsigned short>(port));
    return address;
}

// A listening socket on a free loopback port; returns it and stores the port.
Socket Listen(int& port) {
    const Socket listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = LoopbackAddress(0);
    socklen_t length = sizeof address;
    if (listener == kNoSocket ||
        bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 16) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot listen on loopback");
    }
    port = ntohs(address.sin_port);
    return listener;
}

Socket Connect(int port) {
    const Socket s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const sockaddr_in address = LoopbackAddress(port);
    if (s != kNoSocket &&
        connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        CloseSocket(s);
        return kNoSocket;
    }
    return s;
}

bool SendAll(Socket s, const std::string& data) {
    size_t sent = 0;
    while (sent < data.size()) {
        const int n = send(s, data.data() + sent, static_cast<int>(data.size() - sent), kSendFlags);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

struct TcpTap::Loop {
    SocketLibrary library;
    int port = 0;
    Socket listener = kNoSocket;
    int targetPort = 0;  // 0: answer with the reply pieces instead
    std::vector<std::string> replyPieces;
    std::atomic<bool> stop{false};
    mutable std::mutex mutex;
    std::vector<std::string> received;  // guarded by mutex
    std::thread thread;

    struct Link {
        Socket client;
        Socket upstream;
        size_t index;  // into received
        bool answered;
    };
    std::vector<Link> links;

    void Start() {
        listener = Listen(port);
        thread = std::thread([this] { Run(); });
    }

    void Run() {
        while (!stop) {
            std::vector<pollfd> watched{{listener, POLLIN, 0}};
            for (const Link& link : links) {
                watched.push_back({link.client, POLLIN, 0});
                if (link.upstream != kNoSocket) {
                    watched.push_back({link.upstream, POLLIN, 0});
                }
            }
            if (Poll(watched.data(), watched.size(), 50) <= 0) {
                continue;
            }
            size_t next = 1;
            std::vector<Link> open;
            for (Link& link : links) {
                const bool clientReady = watched[next++].revents != 0;
                const bool upstreamReady =
                    link.upstream != kNoSocket && watched[next++].revents != 0;
                if ((clientReady && !FromClient(link)) || (upstreamReady && !FromUpstream(link))) {
                    Close(link);
                } else {
                    open.push_back(link);
                }
            }
            links = std::move(open);
            if (watched[0].revents != 0) {
                Accept();
            }
        }
        for (Link& link : links) {
            Close(link);
        }
    }

    void Accept() {
        const Socket client = accept(listener, nullptr, nullptr);
        if (client == kNoSocket) {
            return;
        }
        const Socket upstream = targetPort != 0 ? Connect(targetPort) : kNoSocket;
        if (targetPort != 0 && upstream == kNoSocket) {
            CloseSocket(client);
            return;
        }
        std::lock_guard<std::mutex> lock(mutex);
        links.push_back({client, upstream, received.size(), false});
        received.emplace_back();
    }

    // False when the connection is over.
    bool FromClient(Link& link) {
        char buffer[65536];
        const int n = recv(link.client, buffer, sizeof buffer, 0);
        if (n <= 0) {
            return false;
        }
        std::string head;
        {
            std::lock_guard<std::mutex> lock(mutex);
            received[link.index].append(buffer, static_cast<size_t>(n));
            head = received[link.index];
        }
        if (link.upstream != kNoSocket) {
            return SendAll(link.upstream, std::string(buffer, static_cast<size_t>(n)));
        }
        if (!link.answered && head.find("\r\n\r\n") != std::string::npos) {
            link.answered = true;
            Answer(link.client);
        }
        return true;
    }

    bool FromUpstream(Link& link) {
        char buffer[65536];
        const int n = recv(link.upstream, buffer, sizeof buffer, 0);
        return n > 0 && SendAll(link.client, std::string(buffer, static_cast<size_t>(n)));
    }

    void Answer(Socket client) {
        for (size_t i = 0; i < replyPieces.size(); ++i) {
            if (i > 0) {
                std::this_thread::sleep_for(kPiecePause);
            }
            SendAll(client, replyPieces[i]);
        }
        // The client reads to the end and closes; that close ends the link.
        shutdown(client, kShutdownWrite);
    }

    static void Close(const Link& link) {
        CloseSocket(link.client);
        if (link.upstream != kNoSocket) {
            CloseSocket(link.upstream);
        }
    }
};

TcpTap::TcpTap(int targetPort) : loop_(new Loop) {
    loop_->targetPort = targetPort;
    loop_->Start();
}

TcpTap::TcpTap(std::vector<std::string> replyPieces) : loop_(new Loop) {
    loop_->replyPieces = std::move(replyPieces);
    loop_->Start();
}

TcpTap::~TcpTap() {
    loop_->stop = true;
    loop_->thread.join();
    CloseSocket(loop_->listener);
}

int TcpTap::Port() const {
    return loop_->port;
}

std::vector<std::string> TcpTap::Received() const {
    std::lock_guard<std::mutex> lock(loop_->mutex);
    return loop_->received;
}

int UnusedLoopbackPort() {
    SocketLibrary library;
    int port = 0;
    CloseSocket(Listen(port));
    return port;
}
