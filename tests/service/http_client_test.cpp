// The transport on the wire, against the stand-in service and real proxies (tinyproxy, danted,
// microsocks) that CTest starts around these tests. Where the exact bytes a client sends to a
// proxy matter, a TcpTap relays and records them, or the stand-in itself plays the HTTP proxy (it
// accepts the absolute request form and records the request as received).

#include "service/http_client.h"
#include "service/http_setup.h"
#include "service/service_address.h"
#include "settings/settings_record.h"
#include "support/tcp_tap.h"
#include "support/test_services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace {

using std::chrono::seconds;

const std::string kUserAgentLine = "User-Agent: Mozilla/3.0 (compatible; MURLOX)\r\n";
const std::string kAcceptLine = "Accept: text/html, */*\r\n";
const std::string kXmlContentType = "text/xml; charset=\"utf-8\"";
const std::string kGetOneLine =
    "<?xml version=\"1.0\"?><message><action>GETONE</action><username>demo@murlox.test"
    "</username><password>demo</password><xres>640</xres><yres>480</yres><currentdesktopid>0"
    "</currentdesktopid><cid>1A2B:3C4D</cid><gmt>-300</gmt></message>";

std::string BodyOf(const std::string& request) {
    const size_t end = request.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : request.substr(end + 4);
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string all;
    for (const std::string& part : parts) {
        all += part;
    }
    return all;
}

std::string Base64(const std::string& text) {
    static const char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string encoded;
    for (size_t i = 0; i < text.size(); i += 3) {
        unsigned bits = static_cast<unsigned char>(text[i]) << 16;
        bits |= i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) << 8 : 0;
        bits |= i + 2 < text.size() ? static_cast<unsigned char>(text[i + 2]) : 0;
        for (size_t k = 0; k < 4; ++k) {
            encoded += i + k <= text.size() ? kDigits[(bits >> (18 - 6 * k)) & 63] : '=';
        }
    }
    return encoded;
}

// The two bytes of a TCP port as a SOCKS request carries them.
std::string PortBytes(int port) {
    return {static_cast<char>(port >> 8), static_cast<char>(port & 255)};
}

void SetEnvironment(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    if (*value == '\0') {
        unsetenv(name);
    } else {
        setenv(name, value, 1);
    }
#endif
}

class WireTest : public ::testing::Test {
  protected:
    void SetUp() override {
        try {
            services_ = &RunningTestServices();
        } catch (const std::exception& error) {
            FAIL() << error.what();
        }
        standIn_ = StandInService(services_->servicePort);
        standIn_.Reset();
    }

    const TestServices& services() const { return *services_; }
    const StandInService& standIn() const { return standIn_; }

    std::string DirectHost() const {
        return "Host: 127.0.0.1:" + std::to_string(standIn_.Port()) + "\r\n";
    }

  private:
    const TestServices* services_ = nullptr;
    StandInService standIn_{0};
};

using HttpWire = WireTest;
using HttpProxy = WireTest;
using HttpSetup = WireTest;
using HttpFailure = WireTest;
using HttpDownload = WireTest;
using HttpKeepAlive = WireTest;

}  // namespace

TEST(EncodePostedLine, KeepsAsciiLettersAndDigitsAndEncodesEveryOtherByte) {
    EXPECT_EQ(EncodePostedLine("a b+c.d"), "a+b%2Bc%2Ed");
    EXPECT_EQ(EncodePostedLine("AZaz09"), "AZaz09");
    EXPECT_EQ(EncodePostedLine("-._*~=&%"), "%2D%2E%5F%2A%7E%3D%26%25");
    EXPECT_EQ(EncodePostedLine(std::string("\xe9\xff\x80\x7f\x00\r\n", 7)),
              "%E9%FF%80%7F%00%0D%0A");
    EXPECT_EQ(EncodePostedLine("  "), "++");
    EXPECT_EQ(EncodePostedLine(""), "");
}

TEST(ServiceUrl, UsesServiceHostOnPort80UnlessMurloxServiceNamesAnother) {
    const char* given = std::getenv("MURLOX_SERVICE");
    const std::string previous = given != nullptr ? given : "";
    SetEnvironment("MURLOX_SERVICE", "");
    EXPECT_EQ(ServiceUrl("/actions/news.php"), "http://www.murlox.com:80/actions/news.php");
    SetEnvironment("MURLOX_SERVICE", "127.0.0.1:8099");
    EXPECT_EQ(ServiceUrl("/actions/news.php"), "http://127.0.0.1:8099/actions/news.php");
    SetEnvironment("MURLOX_SERVICE", "localhost");
    EXPECT_EQ(ServiceUrl("/"), "http://localhost:80/");
    SetEnvironment("MURLOX_SERVICE", previous.c_str());
}

TEST_F(HttpWire, GetIsHttp11WithTheClientsHeadersOnly) {
    HttpClient client;
    const std::string reply =
        client.Get(standIn().Url("/actions/login.php?un=demo%40murlox.test&pw=demo"));
    EXPECT_EQ(reply.substr(0, 4), "[OK]");
    EXPECT_EQ(standIn().RawRequest(-1),
              "GET /actions/login.php?un=demo%40murlox.test&pw=demo HTTP/1.1\r\n" + DirectHost() +
                  kUserAgentLine + kAcceptLine + "Content-Type: text/html\r\n\r\n");
}

TEST_F(HttpWire, PostIsHttp10KeepAliveWithTheEncodedLineAsBody) {
    HttpClient client;
    client.SetContentType(kXmlContentType);
    const std::string reply =
        client.Post(standIn().Url("/actions/wallpaperserve.php"), {kGetOneLine});
    EXPECT_NE(reply.find("<url>http://"), std::string::npos) << reply;
    const std::string body = "<?xml version=" + EncodePostedLine(kGetOneLine.substr(14));
    const std::string start = "<?xml version=%221%2E0%22%3F%3E%3Cmessage%3E%3Caction%3E";
    ASSERT_EQ(body.substr(0, start.size()), start);
    EXPECT_EQ(standIn().RawRequest(-1),
              "POST /actions/wallpaperserve.php HTTP/1.0\r\n" + DirectHost() + kUserAgentLine +
                  kAcceptLine + "Content-Type: " + kXmlContentType +
                  "\r\nConnection: keep-alive\r\nContent-Length: " + std::to_string(body.size()) +
                  "\r\n\r\n" + body);
}

TEST_F(HttpWire, PostEncodesWhatFollowsTheFirstEqualsSignAndTrimsTheEnds) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"k=a b"}, "k=a+b"},
        {{"a=b=c d"}, "a=b%3Dc+d"},
        {{" \t plain line, no equals sign \r\n"}, "plain line, no equals sign"},
        {{"  k= v \t"}, "k=+v+%09"},
        {{"k=\xe9\xfc"}, "k=%E9%FC"},
        {{"k="}, "k="},
        {{"a=1 2", "b=3"}, "a=1+2\r\nb=3"},
    };
    HttpClient client;
    for (const auto& [lines, body] : cases) {
        client.Post(standIn().Url("/actions/about.php"), lines);
        EXPECT_EQ(BodyOf(standIn().RawRequest(-1)), body) << lines[0];
    }
}

TEST_F(HttpWire, PostTurnsOnlyAnEmptyOrTextHtmlContentTypeIntoFormEncoding) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "application/x-www-form-urlencoded"},
        {"text/html", "application/x-www-form-urlencoded"},
        {"TEXT/Html", "application/x-www-form-urlencoded"},
        {"text/plain", "text/plain"},
        {kXmlContentType, kXmlContentType},
    };
    for (const auto& [set, sent] : cases) {
        HttpClient client;
        client.SetContentType(set);
        client.Post(standIn().Url("/actions/about.php"), {"k=v"});
        EXPECT_NE(standIn().RawRequest(-1).find("\r\nContent-Type: " + sent + "\r\n"),
                  std::string::npos)
            << "set: " << set;
    }
    HttpClient client;  // the default, "text/html", on a POST
    client.Post(standIn().Url("/actions/about.php"), {"k=v"});
    EXPECT_NE(
        standIn().RawRequest(-1).find("\r\nContent-Type: application/x-www-form-urlencoded\r\n"),
        std::string::npos);
}

TEST_F(HttpWire, CookiesStayWithTheClientThatReceivedThem) {
    TcpTap server(std::vector<std::string>{
        "HTTP/1.1 200 OK\r\nSet-Cookie: visit=42; Path=/\r\nContent-Length: 2\r\n"
        "Connection: close\r\n\r\nok"});
    const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/page";
    HttpClient first;
    EXPECT_EQ(first.Get(url), "ok");
    EXPECT_EQ(first.Get(url), "ok");
    HttpClient second;
    EXPECT_EQ(second.Get(url), "ok");
    const std::vector<std::string> requests = server.Received();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].find("Cookie:"), std::string::npos);
    EXPECT_NE(requests[1].find("\r\nCookie: visit=42\r\n"), std::string::npos) << requests[1];
    EXPECT_EQ(requests[2].find("Cookie:"), std::string::npos);
}

TEST_F(HttpProxy, RequestToAProxyCarriesTheFullUrlAndHostWithoutPort80) {
    struct Case {
        std::string url;
        std::string requestLine;
        std::string host;
    };
    const std::vector<Case> cases = {
        {"http://www.murlox.com:80/actions/about.php",
         "GET http://www.murlox.com/actions/about.php HTTP/1.1", "www.murlox.com"},
        {"http://www.murlox.com/actions/about.php",
         "GET http://www.murlox.com/actions/about.php HTTP/1.1", "www.murlox.com"},
        {"http://www.murlox.com:8080/actions/about.php",
         "GET http://www.murlox.com:8080/actions/about.php HTTP/1.1", "www.murlox.com:8080"},
    };
    for (const Case& c : cases) {
        HttpClient client;
        client.SetHttpProxy("127.0.0.1", standIn().Port(), "", "");  // the stand-in plays it
        client.Get(c.url);
        EXPECT_EQ(standIn().RawRequest(-1), c.requestLine + "\r\nHost: " + c.host + "\r\n" +
                                                kUserAgentLine + kAcceptLine +
                                                "Content-Type: text/html\r\n\r\n");
    }
}

TEST_F(HttpProxy, PostThroughAProxySaysProxyConnectionInsteadOfConnection) {
    HttpClient client;
    client.SetHttpProxy("127.0.0.1", standIn().Port(), "", "");
    client.SetContentType(kXmlContentType);
    client.Post("http://www.murlox.com:80/actions/news.php", {"k=v"});
    EXPECT_EQ(standIn().RawRequest(-1),
              "POST http://www.murlox.com/actions/news.php HTTP/1.0\r\nHost: www.murlox.com\r\n" +
                  kUserAgentLine + kAcceptLine + "Content-Type: " + kXmlContentType +
                  "\r\nProxy-Connection: keep-alive\r\nContent-Length: 3\r\n\r\nk=v");
}

TEST_F(HttpProxy, RealProxiesCarryTheExchange) {
    const std::string url = standIn().Url("/actions/wallpaperserve.php");
    auto expectDelivered = [&](HttpClient& client, const char* how) {
        client.SetContentType(kXmlContentType);
        EXPECT_NE(client.Post(url, {kGetOneLine}).find("<url>http://"), std::string::npos) << how;
        EXPECT_EQ(BodyOf(standIn().RawRequest(-1)),
                  "<?xml version=" + EncodePostedLine(kGetOneLine.substr(14)))
            << how;
    };
    HttpClient viaHttp;
    viaHttp.SetHttpProxy("127.0.0.1", services().httpProxyPort, "", "");
    expectDelivered(viaHttp, "HTTP proxy");
    HttpClient viaSocks4;
    viaSocks4.SetSocksProxy("127.0.0.1", services().socksPort, SocksVersion::Socks4, "", "");
    expectDelivered(viaSocks4, "SOCKS 4");
    HttpClient viaSocks5;
    viaSocks5.SetSocksProxy("127.0.0.1", services().socksPort, SocksVersion::Socks5, "", "");
    expectDelivered(viaSocks5, "SOCKS 5");
    HttpClient viaSocks5Auth;
    viaSocks5Auth.SetSocksProxy("127.0.0.1", services().socks5AuthPort, SocksVersion::Socks5,
                                services().socks5AuthUser, services().socks5AuthPassword);
    expectDelivered(viaSocks5Auth, "SOCKS 5 with user name and password");
    EXPECT_EQ(standIn().RequestCount(), 4);
}

TEST_F(HttpProxy, BasicCredentialsGoOnlyToAProxyThatAskedForThem) {
    const std::string url = standIn().Url("/actions/wallpaperserve.php");
    const std::string answer =
        "Proxy-Authorization: Basic " +
        Base64(services().authProxyUser + ":" + services().authProxyPassword) + "\r\n";
    {
        TcpTap tap(services().authProxyPort);
        HttpClient client;
        client.SetHttpProxy("127.0.0.1", tap.Port(), "", "");
        EXPECT_THROW(client.Post(url, {kGetOneLine}), HttpError);
        EXPECT_EQ(Joined(tap.Received()).find("Proxy-Authorization"), std::string::npos);
    }
    {
        TcpTap tap(services().authProxyPort);
        HttpClient client;
        client.SetHttpProxy("127.0.0.1", tap.Port(), services().authProxyUser,
                            services().authProxyPassword);
        client.SetContentType(kXmlContentType);
        EXPECT_NE(client.Post(url, {kGetOneLine}).find("<url>http://"), std::string::npos);
        const std::string sent = Joined(tap.Received());
        const size_t second = sent.find("POST http://", 1);
        ASSERT_NE(second, std::string::npos) << sent;
        EXPECT_EQ(sent.substr(0, second).find("Proxy-Authorization"), std::string::npos);
        EXPECT_NE(sent.find(answer, second), std::string::npos) << sent;
        EXPECT_EQ(BodyOf(standIn().RawRequest(-1)),
                  "<?xml version=" + EncodePostedLine(kGetOneLine.substr(14)));
    }
    HttpClient wrongPassword;
    wrongPassword.SetHttpProxy("127.0.0.1", services().authProxyPort, services().authProxyUser,
                               "not-the-password");
    EXPECT_THROW(wrongPassword.Get(standIn().Url("/")), HttpError);
    EXPECT_EQ(standIn().RequestCount(), 1);
}

TEST_F(HttpProxy, Socks5OffersUserAndPasswordOnlyWhenAUserNameIsSet) {
    const std::string url = standIn().Url("/actions/about.php");
    {
        TcpTap tap(services().socksPort);
        HttpClient client;
        client.SetSocksProxy("127.0.0.1", tap.Port(), SocksVersion::Socks5, "", "secret");
        client.Get(url);
        EXPECT_EQ(tap.Received().at(0).substr(0, 3), std::string("\x05\x01\x00", 3));
    }
    {
        TcpTap tap(services().socks5AuthPort);
        const std::string& user = services().socks5AuthUser;
        const std::string& password = services().socks5AuthPassword;
        HttpClient client;
        client.SetSocksProxy("127.0.0.1", tap.Port(), SocksVersion::Socks5, user, password);
        client.Get(url);
        const std::string expected = std::string("\x05\x02\x00\x02\x01", 5) +
                                     static_cast<char>(user.size()) + user +
                                     static_cast<char>(password.size()) + password;
        EXPECT_EQ(tap.Received().at(0).substr(0, expected.size()), expected);
    }
    HttpClient withoutCredentials;  // this server accepts user and password only
    withoutCredentials.SetSocksProxy("127.0.0.1", services().socks5AuthPort, SocksVersion::Socks5,
                                     "", "");
    EXPECT_THROW(withoutCredentials.Get(url), HttpError);
    EXPECT_EQ(standIn().RequestCount(), 2);
}

namespace {

// The routes the Windows user's settings would give, for the transport's side of them: Wine's
// WinHTTP hands back only the first proxy of a script's list, so a list of several comes from here.
class GivenRoutes : public SystemProxy {
  public:
    explicit GivenRoutes(ProxyRoute route) : route_(std::move(route)) {}
    int lookups = 0;
    std::string lookedUp;

  protected:
    void StartLookup(const std::string& url, std::shared_ptr<ProxyLookup> lookup) override {
        ++lookups;
        lookedUp = url;
        lookup->Put(route_);
    }

  private:
    ProxyRoute route_;
};

}  // namespace

TEST_F(HttpProxy, SystemRouteIsTriedInOrderAndLookedForAgainAfterAWayFailed) {
    const auto routes = std::make_shared<GivenRoutes>(
        ProxyRoute{{"127.0.0.1", UnusedLoopbackPort()}, {"127.0.0.1", standIn().Port()}});
    const std::string url = "http://www.murlox.com/actions/about.php?pw=secret";
    for (int exchange = 1; exchange <= 2; ++exchange) {
        HttpClient client;
        client.SetSystemProxy(routes, "", "");
        client.Get(url);
        EXPECT_EQ(standIn().RawRequest(-1).rfind("GET " + url + " HTTP/1.1\r\n", 0), 0u);
        EXPECT_EQ(routes->lookups, exchange) << "the route is kept past a way that failed";
        EXPECT_EQ(routes->lookedUp, "http://www.murlox.com/") << "told nothing of the query";
    }
    // The client's own proxy wins: nothing is looked up.
    HttpClient own;
    own.SetSystemProxy(routes, "", "");
    own.SetHttpProxy("127.0.0.1", standIn().Port(), "", "");
    own.Get(url);
    EXPECT_EQ(routes->lookups, 2);
}

namespace {

// Restores the settings record after a test that sets its proxy fields.
class SavedSettings {
  public:
    SavedSettings() : saved_(recSETTINGS) {}
    ~SavedSettings() { recSETTINGS = saved_; }

  private:
    SettingsRecord saved_;
};

void UseProxy(const std::string& type, int port, const std::string& user,
              const std::string& password) {
    recSETTINGS.proxyuse = true;
    recSETTINGS.proxytype = type;
    recSETTINGS.proxyhost = "127.0.0.1";
    recSETTINGS.proxyport = port;
    recSETTINGS.proxyusername = user;
    recSETTINGS.proxypassword = password;
    recSETTINGS.proxyrealm = "ignored";
}

}  // namespace

TEST_F(HttpSetup, OnlyTheExactLowerCaseTypesOfAProxyInUseApply) {
    SavedSettings saved;
    const std::string url = standIn().Url("/actions/about.php");
    const int nobody = UnusedLoopbackPort();
    for (const char* type : {"HTTP", "Socks4", "SOCKS5", "https", ""}) {
        UseProxy(type, nobody, "user", "password");
        HttpClient client;
        PrepareHttpClient(client);
        EXPECT_NO_THROW(client.Get(url)) << type;  // straight to the stand-in
        EXPECT_EQ(standIn().RawRequest(-1).substr(0, 28), "GET /actions/about.php HTTP/") << type;
    }
    for (const char* type : {"http", "socks4", "socks5"}) {
        UseProxy(type, nobody, "", "");
        recSETTINGS.proxyuse = false;
        HttpClient client;
        ConfigureHttpClient(client);
        EXPECT_NO_THROW(client.Get(url)) << type;
        recSETTINGS.proxyuse = true;
        HttpClient proxied;
        ConfigureHttpClient(proxied);
        EXPECT_THROW(proxied.Get(url), HttpError) << type;
    }
    UseProxy("http", standIn().Port(), "", "");
    HttpClient client;
    ConfigureHttpClient(client);
    client.Get("http://www.murlox.com:80/actions/about.php");
    EXPECT_EQ(standIn().RawRequest(-1).substr(0, 54),
              "GET http://www.murlox.com/actions/about.php HTTP/1.1\r\n");
}

TEST_F(HttpSetup, Socks4SendsAnEmptyUserIdEvenWithAStoredUserName) {
    SavedSettings saved;
    TcpTap tap(services().socksPort);
    UseProxy("socks4", tap.Port(), "stored-user", "stored-password");
    HttpClient client;
    ConfigureHttpClient(client);
    client.Get(standIn().Url("/actions/about.php"));
    const std::string expected = std::string("\x04\x01", 2) + PortBytes(standIn().Port()) +
                                 std::string("\x7f\x00\x00\x01\x00", 5) +
                                 "GET /actions/about.php HTTP/1.1\r\n";
    EXPECT_EQ(tap.Received().at(0).substr(0, expected.size()), expected);
}

TEST_F(HttpSetup, HttpAndSocks5ProxiesGetTheStoredCredentials) {
    SavedSettings saved;
    const std::string url = standIn().Url("/actions/about.php");
    UseProxy("http", services().authProxyPort, services().authProxyUser,
             services().authProxyPassword);
    HttpClient viaHttp;
    ConfigureHttpClient(viaHttp);
    EXPECT_NO_THROW(viaHttp.Get(url));
    UseProxy("socks5", services().socks5AuthPort, services().socks5AuthUser,
             services().socks5AuthPassword);
    HttpClient viaSocks5;
    ConfigureHttpClient(viaSocks5);
    EXPECT_NO_THROW(viaSocks5.Get(url));
    EXPECT_EQ(standIn().RequestCount(), 2);
}

TEST_F(HttpFailure, EveryMisbehaviourOfTheServerRaisesHttpError) {
    const std::string url = standIn().Url("/actions/login.php?un=demo%40murlox.test&pw=demo");
    for (const char* fault :
         {R"({"kind": "refuse"})", R"({"kind": "drop"})", R"({"kind": "status", "status": 302})",
          R"({"kind": "status", "status": 404})", R"({"kind": "status", "status": 500})"}) {
        standIn().Reset();
        standIn().SetFault(fault);
        HttpClient client;
        EXPECT_THROW(client.Get(url), HttpError) << fault;
        EXPECT_THROW(client.Post(url, {"k=v"}), HttpError) << fault;
        EXPECT_EQ(standIn().RequestCount(), 2) << fault;  // so no redirect was followed
    }
    standIn().Reset();
    HttpClient client;
    EXPECT_THROW(client.Get(standIn().Url("/no/such/page")), HttpError);
}

TEST_F(HttpFailure, UnreachableOrHostlessAddressesRaiseHttpError) {
    const int nobody = UnusedLoopbackPort();
    HttpClient client;
    EXPECT_THROW(client.Get("http://127.0.0.1:" + std::to_string(nobody) + "/"), HttpError);
    for (const char* url : {"http:///actions/about.php", "/actions/about.php", "", "http://"}) {
        EXPECT_THROW(client.Get(url), HttpError) << url;
    }
    HttpClient closedProxy;
    closedProxy.SetHttpProxy("127.0.0.1", nobody, "", "");
    EXPECT_THROW(closedProxy.Get(standIn().Url("/")), HttpError);
    HttpClient closedSocks;
    closedSocks.SetSocksProxy("127.0.0.1", nobody, SocksVersion::Socks5, "", "");
    EXPECT_THROW(closedSocks.Get(standIn().Url("/")), HttpError);
    HttpClient hostlessProxy;
    hostlessProxy.SetHttpProxy("", services().httpProxyPort, "", "");
    EXPECT_THROW(hostlessProxy.Get(standIn().Url("/")), HttpError);
    EXPECT_EQ(standIn().RequestCount(), 0);
}

TEST_F(HttpFailure, SilentServerFailsOnceTheSilenceTimeoutPasses) {
    standIn().SetFault(R"({"kind": "silent", "count": 1})");
    HttpLimits limits = kHttpLimits;
    limits.silence = seconds(1);
    HttpClient client(limits);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(client.Get(standIn().Url("/actions/about.php")), HttpError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, seconds(20));
    EXPECT_EQ(client.Get(standIn().Url("/actions/about.php")).find("<html>"), 0u);
}

TEST_F(HttpFailure, ATransferSlowerThanTheMinimalRateFailsThoughBytesKeepComing) {
    // The sign-in reply, a byte every 0.2 s: never silent, but far below 1 KiB/s.
    standIn().SetFault(R"({"kind": "trickle", "interval": 0.2, "count": 1})");
    HttpLimits limits = kHttpLimits;
    limits.slowFor = seconds(2);
    HttpClient client(limits);
    EXPECT_THROW(client.Get(standIn().Url("/actions/login.php?un=demo%40murlox.test&pw=demo")),
                 HttpError);
}

TEST_F(HttpFailure, AnExchangeFailsAtItsDeadlineThoughItsBytesComeFastEnough) {
    // The sign-in reply, a byte every 0.3 s: never silent, and not slow by the rate test either.
    HttpLimits limits = kHttpLimits;
    limits.slowBytesPerSecond = 1;
    limits.replyDeadline = seconds(1);
    limits.downloadDeadline = seconds(1);
    const std::string url = standIn().Url("/actions/login.php?un=demo%40murlox.test&pw=demo");
    HttpClient client(limits);
    standIn().SetFault(R"({"kind": "trickle", "interval": 0.3, "count": 2})");
    EXPECT_THROW(client.Get(url), HttpError);
    EXPECT_THROW(client.Get(
                     url, [](const char*, size_t) {}, DownloadEvents{}),
                 HttpError);
}

TEST_F(HttpFailure, RepliesWhoseHeadersPassTheirLimitFail) {
    const std::string url = standIn().Url("/actions/about.php");
    HttpClient client;
    standIn().SetFault(R"({"kind": "long_headers", "size": 70000, "count": 1})");
    EXPECT_THROW(client.Get(url), HttpError);
    standIn().SetFault(R"({"kind": "long_headers", "size": 50000, "count": 1})");
    EXPECT_EQ(client.Get(url).find("<html>"), 0u);
}

TEST_F(HttpFailure, AReplyTakenAsTextFailsPastOneMebibyteWithOrWithoutItsLength) {
    const std::string url = standIn().Url("/actions/wallpaperserve.php");
    HttpClient client;
    for (const char* withLength : {"true", "false"}) {
        SCOPED_TRACE(withLength);
        standIn().SetFault(std::string(R"({"kind": "oversized", "size": 1048577, "count": 2, )") +
                           R"("with_length": )" + withLength + "}");
        EXPECT_THROW(client.Post(url, {"k=v"}), HttpError);
        EXPECT_THROW(client.Get(url), HttpError);
    }
    standIn().SetFault(R"({"kind": "oversized", "size": 1048576, "count": 1})");
    EXPECT_EQ(client.Post(url, {"k=v"}).size(), 1048576u);
}

TEST_F(HttpDownload, ADownloadFailsPast64MebibytesWithOrWithoutItsLength) {
    const std::string url = standIn().Url("/murlos/1001-64x48.jpg");
    const int64_t limit = int64_t{64} << 20;
    int64_t received = 0;
    const auto count = [&received](const char*, size_t size) { received += size; };
    HttpClient client;
    for (const char* withLength : {"true", "false"}) {
        SCOPED_TRACE(withLength);
        received = 0;
        standIn().SetFault(std::string(R"({"kind": "oversized", "count": 1, "with_length": )") +
                           withLength + "}");
        EXPECT_THROW(client.Get(url, count, DownloadEvents{}), HttpError);
        EXPECT_LE(received, limit);
    }
    received = 0;
    standIn().SetFault(R"({"kind": "oversized", "size": 67108864, "count": 1})");
    client.Get(url, count, DownloadEvents{});
    EXPECT_EQ(received, limit);
}

namespace {

// Records a download's events and body in the order they come.
struct DownloadRecord {
    std::vector<std::string> events;
    std::string body;
    int64_t worked = 0;

    DownloadEvents Events() {
        return {[this](int64_t expected) { events.push_back("begin " + std::to_string(expected)); },
                [this](int64_t received) {
                    worked += received;
                    if (events.empty() || events.back() != "work") {
                        events.push_back("work");
                    }
                },
                [this] { events.push_back("end"); }};
    }
    std::function<void(const char*, size_t)> Sink() {
        return [this](const char* data, size_t size) { body.append(data, size); };
    }
};

}  // namespace

TEST_F(HttpDownload, EventsBracketTheBodyAndCountItsBytes) {
    const std::string url = standIn().Url("/murlos/1002-300x200.bmp");
    HttpClient client;
    DownloadRecord record;
    client.Get(url, record.Sink(), record.Events());
    const std::string whole = client.Get(url);
    ASSERT_GT(whole.size(), 180000u);
    EXPECT_EQ(record.body, whole);
    EXPECT_EQ(record.worked, static_cast<int64_t>(whole.size()));
    EXPECT_EQ(record.events,
              (std::vector<std::string>{"begin " + std::to_string(whole.size()), "work", "end"}));
}

TEST_F(HttpDownload, UnknownLengthBeginsWithZero) {
    standIn().SetFault(R"({"kind": "no_length", "path": "/murlos/1002-300x200.bmp"})");
    HttpClient client;
    DownloadRecord record;
    client.Get(standIn().Url("/murlos/1002-300x200.bmp"), record.Sink(), record.Events());
    EXPECT_EQ(record.events, (std::vector<std::string>{"begin 0", "work", "end"}));
    EXPECT_EQ(record.worked, static_cast<int64_t>(record.body.size()));
    EXPECT_EQ(record.body.substr(0, 2), "BM");
}

TEST_F(HttpDownload, FailedTransfersEndTheEventsOrNeverBeginThem) {
    const std::string url = standIn().Url("/murlos/1002-300x200.bmp");
    standIn().SetFault(R"({"kind": "drop", "count": 1})");
    HttpClient client;
    DownloadRecord broken;
    EXPECT_THROW(client.Get(url, broken.Sink(), broken.Events()), HttpError);
    ASSERT_EQ(broken.events.size(), 3u);
    EXPECT_EQ(broken.events[2], "end");
    EXPECT_LT(broken.worked, std::stoll(broken.events[0].substr(6)));
    standIn().SetFault(R"({"kind": "status", "status": 404, "count": 1})");
    DownloadRecord refused;
    EXPECT_THROW(client.Get(url, refused.Sink(), refused.Events()), HttpError);
    EXPECT_TRUE(refused.events.empty());
    EXPECT_TRUE(refused.body.empty());
}

TEST_F(HttpDownload, ExceptionFromTheSinkAbandonsTheDownload) {
    const std::string url = standIn().Url("/murlos/1002-300x200.bmp");
    HttpClient client;
    const size_t size = client.Get(url).size();
    DownloadRecord record;
    auto failingSink = [](const char*, size_t) { throw std::runtime_error("disk full"); };
    EXPECT_THROW(client.Get(url, failingSink, record.Events()), std::runtime_error);
    EXPECT_EQ(record.events, std::vector<std::string>{"begin " + std::to_string(size)});
    EXPECT_EQ(client.Get(url).size(), size);
}

TEST_F(HttpKeepAlive, PumpsWhileWaitingForADelayedReply) {
    standIn().SetFault(R"({"kind": "delay", "seconds": 1, "count": 1})");
    int pumped = 0;
    KeepAliveScope scope({[&] { ++pumped; }, true});
    HttpClient client;
    client.Get(standIn().Url("/actions/about.php"));
    EXPECT_GE(pumped, 1);
}

TEST_F(HttpKeepAlive, PumpsAfterEveryChunkUnlessOnlyWhenIdle) {
    const std::string piece(10000, 'x');
    TcpTap server(std::vector<std::string>{
        "HTTP/1.1 200 OK\r\nContent-Length: 40000\r\nConnection: close\r\n\r\n", piece, piece,
        piece, piece});
    std::string order;  // 'd' a delivery to the sink, 'p' a pump
    KeepAliveScope scope({[&] { order += 'p'; }, false});
    HttpClient client;
    DownloadEvents events;
    client.Get(
        "http://127.0.0.1:" + std::to_string(server.Port()) + "/",
        [&](const char*, size_t) { order += 'd'; }, events);
    ASSERT_GE(std::count(order.begin(), order.end(), 'd'), 2) << order;
    // Each delivery but the one that completes the body is followed by a pump.
    const std::string untilLast = order.substr(0, order.rfind('d'));
    EXPECT_EQ(untilLast.find("dd"), std::string::npos) << order;
    EXPECT_EQ(untilLast.back(), 'p') << order;
}

TEST_F(HttpKeepAlive, ThreadWithoutAScopeNeverPumps) {
    standIn().SetFault(R"({"kind": "delay", "seconds": 1, "count": 1})");
    int pumped = 0;
    KeepAliveScope scope({[&] { ++pumped; }, false});
    std::string reply;
    std::thread worker([&] {
        try {
            HttpClient client;
            reply = client.Get(standIn().Url("/actions/about.php"));
        } catch (const HttpError& error) {
            reply = error.what();
        }
    });
    worker.join();
    EXPECT_EQ(reply.find("<html>"), 0u);
    EXPECT_EQ(pumped, 0);
}

TEST_F(HttpKeepAlive, InnerScopeStandsInForTheOuterOneUntilItEnds) {
    int outer = 0;
    int inner = 0;
    KeepAliveScope outerScope({[&] { ++outer; }, true});
    const std::string url = standIn().Url("/actions/about.php");
    {
        KeepAliveScope innerScope({[&] { ++inner; }, true});
        standIn().SetFault(R"({"kind": "delay", "seconds": 1, "count": 1})");
        HttpClient client;
        client.Get(url);
    }
    EXPECT_GE(inner, 1);
    EXPECT_EQ(outer, 0);
    standIn().SetFault(R"({"kind": "delay", "seconds": 1, "count": 1})");
    HttpClient client;
    client.Get(url);
    EXPECT_GE(outer, 1);
}

TEST_F(HttpKeepAlive, PumpMayRunAnotherExchangeButNotOnTheBusyClient) {
    standIn().SetFault(R"({"kind": "delay", "seconds": 1, "path": "/actions/about.php"})");
    HttpClient outer;
    bool started = false;  // the nested exchange pumps too, and must not start another
    std::string nested;
    std::string busyError;
    KeepAliveScope scope({[&] {
                              if (started) {
                                  return;
                              }
                              started = true;
                              HttpClient inner;
                              nested = inner.Get(standIn().Url("/actions/help.php"));
                              try {
                                  outer.Get(standIn().Url("/actions/help.php"));
                              } catch (const HttpError& error) {
                                  busyError = error.what();
                              }
                          },
                          false});
    const std::string reply = outer.Get(standIn().Url("/actions/about.php"));
    EXPECT_NE(reply.find("About MURLOX"), std::string::npos);
    EXPECT_NE(nested.find("MURLOX help"), std::string::npos);
    EXPECT_NE(busyError.find("busy"), std::string::npos);
    EXPECT_EQ(standIn().RequestCount(), 2);
}

TEST_F(HttpKeepAlive, ExceptionFromThePumpAbandonsTheExchange) {
    standIn().SetFault(R"({"kind": "delay", "seconds": 1, "count": 1})");
    HttpClient client;
    {
        KeepAliveScope scope({[] { throw std::runtime_error("window closed"); }, true});
        EXPECT_THROW(client.Get(standIn().Url("/actions/about.php")), std::runtime_error);
    }
    EXPECT_EQ(client.Get(standIn().Url("/actions/about.php")).find("<html>"), 0u);
}
