#include "service/http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <exception>
#include <memory>
#include <utility>

#include "service/service_state.h"
#include "settings/text_convert.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kUserAgent = "Mozilla/3.0 (compatible; MURLOX)";
constexpr const char* kAccept = "Accept: text/html, */*";
constexpr const char* kDefaultContentType = "text/html";
constexpr const char* kFormContentType = "application/x-www-form-urlencoded";
constexpr std::chrono::milliseconds kConnectingSlice(125);
constexpr std::chrono::milliseconds kTransferSlice(250);
// Larger reads than libcurl's 16 KB default mean fewer wake-ups (and keep-alive pumps) per
// megabyte of a download.
constexpr long kReceiveBufferSize = 256 * 1024;

// Per thread, so that it cannot be a member of the service's state: the user-interface thread
// pumps its messages while it waits, and the sign-in worker, which has no window, never pumps.
thread_local const KeepAlive* currentKeepAlive = nullptr;

void InitialiseCurlOnce() {
    static const CURLcode result = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (result != CURLE_OK) {
        throw HttpError(std::string("libcurl start-up failed: ") + curl_easy_strerror(result));
    }
}

// Runs the calling thread's keep-alive, if it has one and it wants to run now; true when it ran.
bool PumpKeepAlive(bool idle) {
    const KeepAlive* keepAlive = currentKeepAlive;
    if (keepAlive == nullptr || !keepAlive->pump || (!idle && keepAlive->onlyWhenIdle)) {
        return false;
    }
    // A copy, because the pump may end the scope that owns the keep-alive (a window that holds
    // one closes while its own messages are dispatched).
    const std::function<void()> pump = keepAlive->pump;
    pump();
    return true;
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The line as posted: the value after the first "=" encoded, the name before it as it is.
std::string EncodeLineValue(const std::string& line) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
        return line;
    }
    return line.substr(0, equals + 1) + EncodePostedLine(line.substr(equals + 1));
}

// The lines as one text, each ended by CR LF, with the blanks and control characters at both
// ends (the last line's CR LF among them) trimmed.
std::string PostedBody(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += EncodeLineValue(line);
        text += "\r\n";
    }
    return std::string(TrimBlanks(text));
}

bool UrlHasHost(const std::string& url) {
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parsed(curl_url(), curl_url_cleanup);
    char* host = nullptr;
    const bool found =
        parsed &&
        curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), CURLU_GUESS_SCHEME) == CURLUE_OK &&
        curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0) == CURLUE_OK && host[0] != '\0';
    curl_free(host);
    return found;
}

struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, SlistDeleter>;

void Append(HeaderList& list, const std::string& header) {
    curl_slist* extended = curl_slist_append(list.get(), header.c_str());
    if (extended == nullptr) {
        throw std::bad_alloc();
    }
    list.release();
    list.reset(extended);
}

enum class ProxyKind { None, Http, Socks4, Socks5 };

long CurlProxyType(ProxyKind kind) {
    switch (kind) {
        case ProxyKind::Socks4:
            return CURLPROXY_SOCKS4;  // resolves the target here, as SOCKS 4 must
        case ProxyKind::Socks5:
            return CURLPROXY_SOCKS5_HOSTNAME;  // lets the proxy resolve the target
        default:
            return CURLPROXY_HTTP;
    }
}

struct ProxyServer {
    ProxyKind kind = ProxyKind::None;
    std::string host;
    int port = 0;
    std::string userName;
    std::string password;
    // One of the system's: without a user name of the client's, the Windows user's own
    // credentials answer its demand.
    bool system = false;
};

bool CouldNotConnect(CURLcode result) {
    return result == CURLE_COULDNT_CONNECT || result == CURLE_COULDNT_RESOLVE_PROXY ||
           result == CURLE_COULDNT_RESOLVE_HOST || result == CURLE_OPERATION_TIMEDOUT;
}

bool IsSuccess(long status) {
    return status >= 200 && status <= 299;
}

using Sink = std::function<void(const char*, size_t)>;

// One running exchange: what libcurl's callbacks see and collect.
struct Transfer {
    CURL* easy = nullptr;
    const Sink* sink = nullptr;  // none: the body is collected in `received`
    const DownloadEvents* events = nullptr;
    std::string received;
    int64_t maxBodyBytes = 0;
    int64_t bodyBytes = 0;
    bool tooLarge = false;  // the body went past maxBodyBytes
    int64_t maxHeaderBytes = 0;
    int64_t headerBytes = 0;
    bool headersTooLarge = false;
    bool begun = false;  // workBegin has been raised
    size_t bytesThisRound = 0;
    long refusedStatus = 0;      // a status outside 200-299 that stopped the body
    std::exception_ptr failure;  // thrown by the sink or an event, to be rethrown outside libcurl
    bool connected = false;
    Clock::time_point lastByte;
    char error[CURL_ERROR_SIZE] = {};

    // Raises workBegin once, before the first byte of the body or at the end of an empty one.
    void Begin() {
        if (sink == nullptr || begun) {
            return;
        }
        begun = true;
        curl_off_t expected = -1;
        curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &expected);
        if (events->workBegin) {
            events->workBegin(expected > 0 ? expected : 0);
        }
    }

    void Deliver(const char* data, size_t length) {
        if (sink == nullptr) {
            received.append(data, length);
            return;
        }
        Begin();
        (*sink)(data, length);
        if (events->work) {
            events->work(static_cast<int64_t>(length));
        }
    }
};

// The body is handed on block by block as libcurl reads it; nothing may be thrown through libcurl,
// so a failure is kept for the transfer loop.
size_t ReceiveBody(char* data, size_t size, size_t count, void* context) {
    auto* transfer = static_cast<Transfer*>(context);
    const size_t length = size * count;
    long status = 0;
    curl_easy_getinfo(transfer->easy, CURLINFO_RESPONSE_CODE, &status);
    if (!IsSuccess(status)) {
        transfer->refusedStatus = status;
        return 0;  // ends the transfer: the body of a failure is of no use
    }
    if (static_cast<int64_t>(length) > transfer->maxBodyBytes - transfer->bodyBytes) {
        transfer->tooLarge = true;
        return 0;
    }
    transfer->bodyBytes += static_cast<int64_t>(length);
    transfer->bytesThisRound += length;
    transfer->lastByte = Clock::now();
    try {
        transfer->Deliver(data, length);
    } catch (...) {
        transfer->failure = std::current_exception();
        return 0;
    }
    return length;
}

size_t ReceiveHeader(char*, size_t size, size_t count, void* context) {
    auto* transfer = static_cast<Transfer*>(context);
    transfer->headerBytes += static_cast<int64_t>(size * count);
    if (transfer->headerBytes > transfer->maxHeaderBytes) {
        transfer->headersTooLarge = true;
        return 0;
    }
    transfer->bytesThisRound += size * count;
    transfer->lastByte = Clock::now();
    return size * count;
}

// Called once the connection (through any proxy) stands, right before the request goes out.
int ConnectionReady(void* context, char*, char*, int, int) {
    auto* transfer = static_cast<Transfer*>(context);
    transfer->connected = true;
    transfer->lastByte = Clock::now();
    return CURL_PREREQFUNC_OK;
}

}  // namespace

struct HttpClient::State {
    State() = default;
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() {
        curl_easy_cleanup(easy);
        curl_multi_cleanup(multi);
    }

    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    std::string defaultHost;
    int defaultPort = 80;
    std::string contentType = kDefaultContentType;
    ProxyServer proxy;  // the client's own
    std::shared_ptr<SystemProxy> system;
    std::string systemUserName;
    std::string systemPassword;
    ProxyServer current;  // the way of the attempt that runs
    HttpLimits limits;
    bool busy = false;

    enum class Method { Get, Post };

    std::string Exchange(Method method, const std::string& url, const std::string& body,
                         const Sink* sink, const DownloadEvents* events);
    std::vector<ProxyServer> Ways(const std::string& url);
    ProxyRoute SystemRoute(const std::string& url);
    HeaderList RequestHeaders(Method method) const;
    void SetRequestOptions(Method method, const std::string& url, const std::string& body,
                           const HeaderList& headers, Transfer& transfer);
    void SetProxyOptions();
    CURLcode Run(Transfer& transfer);
};

void AbandonExchanges() {
    TheServiceState().abandoned = true;
}

void ResumeExchanges() {
    TheServiceState().abandoned = false;
}

bool ExchangesAbandoned() {
    return TheServiceState().abandoned;
}

KeepAliveScope::KeepAliveScope(KeepAlive keepAlive)
    : previous_(currentKeepAlive), keepAlive_(std::move(keepAlive)) {
    currentKeepAlive = &keepAlive_;
}

KeepAliveScope::~KeepAliveScope() {
    currentKeepAlive = previous_;
}

HttpClient::HttpClient() : HttpClient(TheServiceState().limits) {}

HttpClient::HttpClient(const HttpLimits& limits) : state_(std::make_unique<State>()) {
    state_->limits = limits;
    InitialiseCurlOnce();
    state_->multi = curl_multi_init();
    state_->easy = curl_easy_init();
    if (state_->multi == nullptr || state_->easy == nullptr) {
        throw HttpError("libcurl could not create a transfer");
    }
    // Cookies live in this client's memory only, for as long as the client does.
    curl_easy_setopt(state_->easy, CURLOPT_COOKIEFILE, "");
}

HttpClient::~HttpClient() = default;

void HttpClient::SetDefaultHost(const std::string& host, int port) {
    state_->defaultHost = host;
    state_->defaultPort = port;
}

void HttpClient::SetContentType(const std::string& contentType) {
    state_->contentType = contentType;
}

void HttpClient::SetHttpProxy(const std::string& host, int port, const std::string& userName,
                              const std::string& password) {
    state_->proxy = {ProxyKind::Http, host, port, userName, password, false};
}

void HttpClient::SetSocksProxy(const std::string& host, int port, SocksVersion version,
                               const std::string& userName, const std::string& password) {
    state_->proxy = {version == SocksVersion::Socks4 ? ProxyKind::Socks4 : ProxyKind::Socks5,
                     host,
                     port,
                     userName,
                     password,
                     false};
}

void HttpClient::SetSystemProxy(std::shared_ptr<SystemProxy> system, const std::string& userName,
                                const std::string& password) {
    state_->system = std::move(system);
    state_->systemUserName = userName;
    state_->systemPassword = password;
}

std::string HttpClient::Get(const std::string& url) {
    return state_->Exchange(State::Method::Get, url, std::string(), nullptr, nullptr);
}

void HttpClient::Get(const std::string& url, const Sink& sink, const DownloadEvents& events) {
    state_->Exchange(State::Method::Get, url, std::string(), &sink, &events);
}

std::string HttpClient::Post(const std::string& url, const std::vector<std::string>& lines) {
    return state_->Exchange(State::Method::Post, url, PostedBody(lines), nullptr, nullptr);
}

std::string EncodePostedLine(const std::string& text) {
    static const char kHexDigits[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size() * 3);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == ' ') {
            encoded += '+';
        } else if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
                   (byte >= 'a' && byte <= 'z')) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHexDigits[byte >> 4];
            encoded += kHexDigits[byte & 15];
        }
    }
    return encoded;
}

std::string HttpClient::State::Exchange(Method method, const std::string& givenUrl,
                                        const std::string& body, const Sink* sink,
                                        const DownloadEvents* events) {
    // Blanks and line ends around an address (a reply's element as the service wrote it) are no
    // part of it, and libcurl would refuse them.
    const std::string url(TrimBlanks(givenUrl));
    // A keep-alive pump may try to use this same client while it waits.
    if (busy) {
        throw HttpError(url + ": the client is already busy with an exchange");
    }
    if (ExchangesAbandoned()) {
        throw HttpAbandoned();
    }
    if (!UrlHasHost(url)) {
        throw HttpError(url + ": no host in the URL");
    }
    if (proxy.kind != ProxyKind::None &&
        (proxy.host.empty() || proxy.port <= 0 || proxy.port > 65535)) {
        throw HttpError(url + ": the proxy has no valid host and port");
    }
    struct BusyFlag {
        bool& flag;
        explicit BusyFlag(bool& f) : flag(f) { flag = true; }
        ~BusyFlag() { flag = false; }
    } busyFlag(busy);

    const std::vector<ProxyServer> ways = Ways(url);
    for (size_t way = 0;; ++way) {
        current = ways[way];
        Transfer transfer;
        transfer.easy = easy;
        transfer.sink = sink;
        transfer.events = events;
        transfer.maxBodyBytes = sink ? limits.maxDownloadBytes : limits.maxReplyBytes;
        transfer.maxHeaderBytes = limits.maxHeaderBytes;
        const HeaderList headers = RequestHeaders(method);
        // The handle outlives this exchange; on every way out it must stop pointing at its
        // headers and buffers.
        struct Unhook {
            CURL* easy;
            ~Unhook() {
                curl_easy_setopt(easy, CURLOPT_HTTPHEADER, nullptr);
                curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, nullptr);
                curl_easy_setopt(easy, CURLOPT_WRITEDATA, nullptr);
                curl_easy_setopt(easy, CURLOPT_HEADERDATA, nullptr);
                curl_easy_setopt(easy, CURLOPT_PREREQDATA, nullptr);
            }
        } unhook{easy};
        SetRequestOptions(method, url, body, headers, transfer);
        const CURLcode result = Run(transfer);
        if (!transfer.connected && CouldNotConnect(result)) {
            // Nothing of the request went out: the system's next way may reach the address, and
            // the next exchange looks for the route again, as the network may have changed.
            if (system && proxy.kind == ProxyKind::None) {
                system->RouteFailed(url);
            }
            if (way + 1 < ways.size()) {
                continue;
            }
        }
        if (transfer.begun && events->workEnd) {
            events->workEnd();
        }

        long status = transfer.refusedStatus;
        if (result == CURLE_OK) {
            curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        }
        if (status != 0 && !IsSuccess(status)) {
            throw HttpError(url + ": HTTP status " + std::to_string(status));
        }
        if (transfer.headersTooLarge) {
            throw HttpError(url + ": the reply's headers are larger than " +
                            std::to_string(transfer.maxHeaderBytes) + " bytes");
        }
        if (transfer.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
            throw HttpError(url + ": the reply is larger than " +
                            std::to_string(transfer.maxBodyBytes) + " bytes");
        }
        if (result != CURLE_OK) {
            throw HttpError(
                url + ": " +
                (transfer.error[0] != '\0' ? transfer.error : curl_easy_strerror(result)));
        }
        return std::move(transfer.received);
    }
}

// The ways to try in order: the client's own proxy alone, else the system's route for the
// address, else the direct connection.
std::vector<ProxyServer> HttpClient::State::Ways(const std::string& url) {
    if (proxy.kind != ProxyKind::None) {
        return {proxy};
    }
    if (!system) {
        return {ProxyServer{}};
    }
    std::vector<ProxyServer> ways;
    for (const ProxyHop& hop : SystemRoute(url)) {
        if (hop.Direct()) {
            ways.push_back(ProxyServer{});
        } else {
            ways.push_back(
                {ProxyKind::Http, hop.host, hop.port, systemUserName, systemPassword, true});
        }
    }
    if (ways.empty()) {
        ways.push_back(ProxyServer{});  // a route that names no way at all
    }
    return ways;
}

// Waits for the system's route in slices, running the keep-alive between them as a transfer
// does, until the limit; then connects directly. A lookup that has once missed the limit is not
// waited for again: its answer serves once it is there.
ProxyRoute HttpClient::State::SystemRoute(const std::string& url) {
    const std::shared_ptr<ProxyLookup> lookup = system->RouteFor(url);
    const Clock::time_point deadline = Clock::now() + limits.proxyLookup;
    for (;;) {
        const Clock::time_point now = Clock::now();
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        const auto wait = lookup->Overdue() || now >= deadline ? std::chrono::milliseconds(0)
                                                               : std::min(left, kConnectingSlice);
        if (std::optional<ProxyRoute> route = lookup->WaitFor(wait)) {
            return *route;
        }
        if (wait.count() == 0) {
            lookup->SetOverdue();
            return DirectRoute();
        }
        PumpKeepAlive(true);
        if (ExchangesAbandoned()) {
            throw HttpAbandoned();
        }
    }
}

HeaderList HttpClient::State::RequestHeaders(Method method) const {
    HeaderList headers;
    Append(headers, kAccept);
    std::string type = contentType;
    if (method == Method::Post && (type.empty() || EqualsIgnoringCase(type, kDefaultContentType))) {
        type = kFormContentType;
    }
    if (!type.empty()) {
        Append(headers, "Content-Type: " + type);
    }
    const bool viaHttpProxy = current.kind == ProxyKind::Http;
    if (method == Method::Post) {
        // A POST goes out as HTTP/1.0, which closes the connection unless asked not to.
        Append(headers, viaHttpProxy ? "Proxy-Connection: keep-alive" : "Connection: keep-alive");
    } else if (viaHttpProxy) {
        Append(headers, "Proxy-Connection:");  // libcurl's own would differ in spelling
    }
    Append(headers, "Expect:");
    return headers;
}

void HttpClient::State::SetRequestOptions(Method method, const std::string& url,
                                          const std::string& body, const HeaderList& headers,
                                          Transfer& transfer) {
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connect.count()));
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, limits.slowBytesPerSecond);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.slowFor.count()));
    const std::chrono::milliseconds deadline =
        transfer.sink ? limits.downloadDeadline : limits.replyDeadline;
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(deadline.count()));
    // Refuses an announced length past the limit before the body; ReceiveBody counts the rest.
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE,
                     static_cast<curl_off_t>(transfer.maxBodyBytes));
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kReceiveBufferSize);
    if (method == Method::Post) {
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, body.c_str());
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, ReceiveBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, ReceiveHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, ConnectionReady);
    curl_easy_setopt(easy, CURLOPT_PREREQDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, transfer.error);
    SetProxyOptions();
}

void HttpClient::State::SetProxyOptions() {
    // Explicit values throughout, so that proxy variables in the environment never apply.
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
    curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, nullptr);
    curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, nullptr);
    curl_easy_setopt(easy, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC));
    if (current.kind == ProxyKind::None) {
        curl_easy_setopt(easy, CURLOPT_PROXY, "");
        return;
    }
    curl_easy_setopt(easy, CURLOPT_PROXY, current.host.c_str());
    curl_easy_setopt(easy, CURLOPT_PROXYPORT, static_cast<long>(current.port));
    curl_easy_setopt(easy, CURLOPT_PROXYTYPE, CurlProxyType(current.kind));
    curl_easy_setopt(easy, CURLOPT_HTTPPROXYTUNNEL, 0L);
    // SOCKS 5 offers user name and password besides no authentication, never GSS-API.
    curl_easy_setopt(easy, CURLOPT_SOCKS5_AUTH, static_cast<long>(CURLAUTH_BASIC));
    if (current.system && current.userName.empty()) {
        // An empty name and password stand for the Windows user's own credentials, which the
        // system's security package offers without asking (as browsers do in an office).
        curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, "");
        curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, "");
        curl_easy_setopt(easy, CURLOPT_PROXYAUTH,
                         static_cast<long>(CURLAUTH_NEGOTIATE | CURLAUTH_NTLM));
        return;
    }
    // SOCKS 4 sends an empty user id; the other kinds use credentials only when there are any.
    if (current.kind == ProxyKind::Socks4 || current.userName.empty()) {
        return;
    }
    curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, current.userName.c_str());
    curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, current.password.c_str());
    // CURLAUTH_ONLY keeps Basic from being sent before the proxy has asked for it with a 407.
    curl_easy_setopt(easy, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC | CURLAUTH_ONLY));
}

// Drives the transfer in slices, running the keep-alive between them and after what arrives.
// Returns libcurl's result of the transfer.
CURLcode HttpClient::State::Run(Transfer& transfer) {
    struct Attachment {
        CURLM* multi;
        CURL* easy;
        Attachment(CURLM* m, CURL* e) : multi(m), easy(e) { curl_multi_add_handle(multi, easy); }
        ~Attachment() { curl_multi_remove_handle(multi, easy); }
    } attachment(multi, easy);

    Clock::time_point lastPump = Clock::now();
    for (;;) {
        // Checked after every slice and every pump, which is where "Exit" is chosen.
        if (ExchangesAbandoned()) {
            throw HttpAbandoned();
        }
        int running = 0;
        transfer.bytesThisRound = 0;
        const CURLMcode driven = curl_multi_perform(multi, &running);
        if (transfer.failure) {
            std::rethrow_exception(transfer.failure);
        }
        if (driven != CURLM_OK) {
            throw HttpError(std::string("libcurl failed: ") + curl_multi_strerror(driven));
        }
        if (running == 0) {
            break;
        }
        const Clock::time_point now = Clock::now();
        if (transfer.connected && now - transfer.lastByte > limits.silence) {
            std::snprintf(transfer.error, sizeof transfer.error, "no data for %lld ms",
                          static_cast<long long>(limits.silence.count()));
            return CURLE_OPERATION_TIMEDOUT;
        }
        if (transfer.bytesThisRound > 0 && PumpKeepAlive(false)) {
            lastPump = now;
            continue;
        }
        // At least once a slice, however the bytes come: a server that sends one now and then
        // must not keep the window messages (the user's "Exit" among them) waiting.
        const auto slice = transfer.connected ? kTransferSlice : kConnectingSlice;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(lastPump + slice - now);
        if (left.count() <= 0) {
            lastPump = now;
            PumpKeepAlive(true);
            continue;
        }
        const CURLMcode waited =
            curl_multi_poll(multi, nullptr, 0, static_cast<int>(left.count()), nullptr);
        if (waited != CURLM_OK) {
            throw HttpError(std::string("libcurl failed: ") + curl_multi_strerror(waited));
        }
    }

    int queued = 0;
    CURLcode result = CURLE_RECV_ERROR;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
            result = message->data.result;
        }
    }
    if (result == CURLE_OK) {
        transfer.Begin();
    }
    return result;
}
