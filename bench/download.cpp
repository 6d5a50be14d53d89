// Download throughput of HttpClient with a real Windows message pump as its keep-alive (dispatching
// after every chunk, as the main window's keep-alive does), against plain libcurl
// curl_easy_perform, all fetching the same 64 MiB file (4 MiB in a smoke run) from a static file
// server on loopback in this process. Plain libcurl runs twice: with its defaults, and with
// HttpClient's receive buffer size, which leaves only the cost of the waiting slices and the pump
// as the difference. Runs alternate so that all see the same conditions; prints the medians and the
// ratios.

#include <winsock2.h>
#include <windows.h>

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "bench_stats.h"
#include "service/http_client.h"

namespace {

const size_t kFileSize = (SmokeRun() ? 4u : 64u) << 20;
constexpr int kRunsEach = 7;
constexpr double kGoal = 0.9;
constexpr long kHttpClientBufferSize = 256 * 1024;  // as in service/http_client.cpp

// Serves the same file to every connection until the listener is closed.
class FileServer {
  public:
    explicit FileServer(const std::string& file) : file_(file) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener_, 4);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }

    ~FileServer() {
        closesocket(listener_);  // ends the accept loop
        thread_.join();
        WSACleanup();
    }

    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/file.bin"; }

  private:
    void Serve() {
        for (;;) {
            const SOCKET client = accept(listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET) {
                return;
            }
            if (ReadRequestHead(client)) {
                const std::string head =
                    "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream"
                    "\r\nContent-Length: " +
                    std::to_string(file_.size()) + "\r\nConnection: close\r\n\r\n";
                SendAll(client, head.data(), head.size()) &&
                    SendAll(client, file_.data(), file_.size());
                shutdown(client, SD_SEND);
            }
            closesocket(client);
        }
    }

    static bool ReadRequestHead(SOCKET client) {
        std::string head;
        char buffer[4096];
        while (head.find("\r\n\r\n") == std::string::npos) {
            const int n = recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) {
                return false;
            }
            head.append(buffer, n);
        }
        return true;
    }

    static bool SendAll(SOCKET client, const char* data, size_t size) {
        while (size > 0) {
            const int n = send(client, data, static_cast<int>(std::min<size_t>(size, 1u << 20)), 0);
            if (n <= 0) {
                return false;
            }
            data += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }

    const std::string& file_;
    SOCKET listener_;
    int port_ = 0;
    std::thread thread_;
};

// A hidden window whose timer keeps messages coming, so that the pump has real work.
class TickingWindow {
  public:
    TickingWindow() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "BenchTickingWindow";
        RegisterClassA(&windowClass);
        window_ = CreateWindowA("BenchTickingWindow", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                nullptr, nullptr, windowClass.hInstance, nullptr);
        SetTimer(window_, 1, 10, nullptr);
    }
    ~TickingWindow() { DestroyWindow(window_); }

    static long Ticks() { return ticks_; }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
        if (message == WM_TIMER) {
            ++ticks_;
            return 0;
        }
        return DefWindowProcA(window, message, w, l);
    }

    HWND window_;
    static inline std::atomic<long> ticks_{0};
};

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

using Seconds = std::chrono::duration<double>;

double Throughput(size_t bytes, Seconds elapsed) {
    return static_cast<double>(bytes) / (1 << 20) / elapsed.count();
}

double ThroughHttpClient(const std::string& url) {
    size_t received = 0;
    HttpClient client;
    DownloadEvents events;
    const auto start = std::chrono::steady_clock::now();
    client.Get(
        url, [&](const char*, size_t size) { received += size; }, events);
    const Seconds elapsed = std::chrono::steady_clock::now() - start;
    if (received != kFileSize) {
        throw std::runtime_error("HttpClient received " + std::to_string(received) + " bytes");
    }
    return Throughput(received, elapsed);
}

size_t Count(char*, size_t size, size_t count, void* received) {
    *static_cast<size_t*>(received) += size * count;
    return size * count;
}

// bufferSize 0: libcurl's default.
double ThroughPlainCurl(const std::string& url, long bufferSize) {
    size_t received = 0;
    CURL* easy = curl_easy_init();
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    if (bufferSize != 0) {
        curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, bufferSize);
    }
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, Count);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &received);
    const auto start = std::chrono::steady_clock::now();
    const CURLcode result = curl_easy_perform(easy);
    const Seconds elapsed = std::chrono::steady_clock::now() - start;
    curl_easy_cleanup(easy);
    if (result != CURLE_OK || received != kFileSize) {
        throw std::runtime_error(std::string("curl_easy_perform: ") + curl_easy_strerror(result));
    }
    return Throughput(received, elapsed);
}

}  // namespace

int main() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    std::string file(kFileSize, '\0');
    for (size_t i = 0; i < file.size(); ++i) {
        file[i] = static_cast<char>(i * 131 + (i >> 12));
    }
    FileServer server(file);
    TickingWindow window;
    KeepAliveScope keepAlive({PumpMessages, false});

    std::vector<double> client;
    std::vector<double> plain;
    std::vector<double> plainSameBuffer;
    try {
        ThroughPlainCurl(server.Url(), 0);  // warm-up, not counted
        for (int run = 0; run < Runs(kRunsEach); ++run) {
            client.push_back(ThroughHttpClient(server.Url()));
            plain.push_back(ThroughPlainCurl(server.Url(), 0));
            plainSameBuffer.push_back(ThroughPlainCurl(server.Url(), kHttpClientBufferSize));
        }
    } catch (const std::exception& error) {
        std::printf("failed: %s\n", error.what());
        return 1;
    }
    const double ratio = Median(client) / Median(plain);
    std::printf("%zu MiB over loopback, %d runs each, alternating (MiB/s)\n", kFileSize >> 20,
                Runs(kRunsEach));
    std::printf("HttpClient with message pump:      median %5.0f  (%s)\n", Median(client),
                List(client).c_str());
    std::printf("plain curl_easy_perform:           median %5.0f  (%s)\n", Median(plain),
                List(plain).c_str());
    std::printf("plain, HttpClient's buffer size:   median %5.0f  (%s)\n", Median(plainSameBuffer),
                List(plainSameBuffer).c_str());
    std::printf("ratio to plain %.2f (goal %.2f: %s); to plain with the same buffer %.2f\n", ratio,
                kGoal, ratio >= kGoal ? "met" : "missed", Median(client) / Median(plainSameBuffer));
    std::printf("timer messages dispatched by the pump: %ld\n", TickingWindow::Ticks());
    return 0;
}
