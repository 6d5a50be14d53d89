// XML requests against the stand-in service, directly and through real proxies.

#include "service/xml_request.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>

#include "app/application.h"
#include "service/http_client.h"
#include "service/service_address.h"
#include "settings/settings_record.h"
#include "signin/sign_in.h"
#include "support/tcp_tap.h"
#include "support/wine_test_fixture.h"
#include "ui/window.h"

namespace {

// The posted-body encoding, spelled out for the values of these tests.
std::string Encoded(const std::string& text) {
    std::string encoded;
    for (unsigned char c : text) {
        if (std::isalnum(c)) {
            encoded += static_cast<char>(c);
        } else if (c == ' ') {
            encoded += '+';
        } else {
            char hex[4];
            std::snprintf(hex, sizeof(hex), "%%%02X", c);
            encoded += hex;
        }
    }
    return encoded;
}

std::string Body(const std::string& request) {
    return request.substr(request.find("\r\n\r\n") + 4);
}
std::string RequestLine(const std::string& request) {
    return request.substr(0, request.find("\r\n"));
}

class XmlRequestTest : public ClientTest {
  protected:
    std::string PostGetOne() {
        return PostXmlRequest(BuildGetOneMessage(CurrentWallpaperRequestValues()),
                              ServiceUrl(kWallpaperServePath));
    }
    std::string LastRequest() const { return service().RawRequest(-1); }
};

TEST_F(XmlRequestTest, GetOneGoesOutByteForByte) {
    recSETTINGS.nickname = "ann@example.com";
    recSETTINGS.password = "p<w&d x";
    const std::string cid = GetComputerId('C');
    const int gmt = UtcOffsetMinutes();
    PostGetOne();

    const std::string request = LastRequest();
    EXPECT_EQ(RequestLine(request), "POST /actions/wallpaperserve.php HTTP/1.0");
    const std::string port = std::to_string(services().servicePort);
    for (const std::string& header : std::vector<std::string>{
             "Content-Type: text/xml; charset=\"utf-8\"\r\n", "Accept: text/html, */*\r\n",
             "User-Agent: Mozilla/3.0 (compatible; MURLOX)\r\n", "Connection: keep-alive\r\n",
             "Host: 127.0.0.1:" + port + "\r\n"}) {
        EXPECT_NE(request.find(header), std::string::npos) << header;
    }
    const std::string expected =
        "<?xml version=%221%2E0%22%3F%3E%3Cmessage%3E%3Caction%3EGETONE%3C%2Faction%3E"
        "%3Cusername%3Eann%40example%2Ecom%3C%2Fusername%3E"
        "%3Cpassword%3Ep%26lt%3Bw%26amp%3Bd+x%3C%2Fpassword%3E"
        "%3Cxres%3E" +
        std::to_string(::GetSystemMetrics(SM_CXSCREEN)) +
        "%3C%2Fxres%3E"
        "%3Cyres%3E" +
        std::to_string(::GetSystemMetrics(SM_CYSCREEN)) +
        "%3C%2Fyres%3E"
        "%3Ccurrentdesktopid%3E0%3C%2Fcurrentdesktopid%3E"
        "%3Ccid%3E" +
        Encoded(cid) + "%3C%2Fcid%3E%3Cgmt%3E" + Encoded(std::to_string(gmt)) +
        "%3C%2Fgmt%3E%3C%2Fmessage%3E";
    EXPECT_EQ(Body(request), expected);
    EXPECT_NE(request.find("Content-Length: " + std::to_string(expected.size()) + "\r\n"),
              std::string::npos);
}

TEST_F(XmlRequestTest, ComputerIdAndTimeZoneHaveTheirFormats) {
    const std::string cid = GetComputerId('C');
    ASSERT_EQ(cid.size(), 9u);
    EXPECT_EQ(cid[4], ':');
    EXPECT_EQ(cid.find_first_not_of("0123456789ABCDEF:"), std::string::npos);
    EXPECT_EQ(GetComputerId('Q'), "function failed");  // no such drive, and no dialog about it
    TIME_ZONE_INFORMATION zone;
    ::GetTimeZoneInformation(&zone);
    EXPECT_EQ(UtcOffsetMinutes(), -zone.Bias);
}

TEST_F(XmlRequestTest, EveryMessageArrivesThroughEveryProxyType) {
    const TestServices& s = services();
    struct Route {
        const char* type;
        int port;
        std::string user, password;
    };
    const Route routes[] = {{"", 0, "", ""},
                            {"http", s.httpProxyPort, "", ""},
                            {"http", s.authProxyPort, s.authProxyUser, s.authProxyPassword},
                            {"socks4", s.socksPort, "", ""},
                            {"socks5", s.socksPort, "", ""},
                            {"socks5", s.socks5AuthPort, s.socks5AuthUser, s.socks5AuthPassword}};
    const WallpaperRequestValues values = CurrentWallpaperRequestValues();
    const struct {
        std::string message;
        std::string path;
    } requests[] = {{BuildGetOneMessage(values), kWallpaperServePath},
                    {BuildGetNewOneMessage(values, "1005"), kWallpaperServePath},
                    {BuildGetNewsMessage("demo@murlox.test", "demo"), kNewsPath}};
    for (const Route& route : routes) {
        if (*route.type) {
            UseProxy(route.type, route.port, route.user, route.password);
        }
        for (const auto& m : requests) {
            SCOPED_TRACE(std::string(route.type) + ":" + std::to_string(route.port) + m.path);
            const std::string reply = PostXmlRequest(m.message, ServiceUrl(m.path));
            EXPECT_NE(reply.find("reply>"), std::string::npos) << reply;
            const std::string request = LastRequest();
            EXPECT_EQ(RequestLine(request), "POST " + m.path + " HTTP/1.0");
            EXPECT_EQ(Body(request), "<?xml version=" + Encoded("\"1.0\"?>" + m.message));
        }
    }
    EXPECT_TRUE(SignedIn);
    EXPECT_TRUE(messages.empty());
}

TEST_F(XmlRequestTest, ThroughAnHttpProxyTheRequestNamesTheWholeUrl) {
    const TcpTap tap(services().httpProxyPort);
    UseProxy("http", tap.Port());
    PostGetOne();
    ASSERT_EQ(tap.Received().size(), 1u);
    const std::string sent = tap.Received()[0];
    EXPECT_EQ(RequestLine(sent), "POST http://127.0.0.1:" + std::to_string(services().servicePort) +
                                     "/actions/wallpaperserve.php HTTP/1.0");
    EXPECT_NE(sent.find("Proxy-Connection: keep-alive\r\n"), std::string::npos);
}

TEST_F(XmlRequestTest, AProxyTypeInCapitalsConnectsDirectly) {
    UseProxy("HTTP", UnusedLoopbackPort());
    EXPECT_NE(PostGetOne(), kFailedExchange);
    EXPECT_EQ(RequestLine(LastRequest()), "POST /actions/wallpaperserve.php HTTP/1.0");
}

TEST_F(XmlRequestTest, TheFailureIsReportedOnlyForASignInTheUserStarted) {
    recSETTINGS.autologin = true;
    UseProxy("socks5", UnusedLoopbackPort());
    ReportConnectionFailure = true;
    EXPECT_EQ(PostGetOne(), "error");
    EXPECT_EQ(modalWindows, std::vector<std::string>{"TfrmPopop"});
    EXPECT_FALSE(SignedIn);
    EXPECT_EQ(recSETTINGS.password, "demo") << "autologin keeps the password";
}

TEST_F(XmlRequestTest, RepliesThatAreNoExchangeFailureComeBackUnchanged) {
    service().SetFault(R"({"kind": "body", "body": "error", "count": 1})");
    EXPECT_EQ(PostGetOne(), "error");
    service().SetFault(R"({"kind": "empty", "count": 1})");
    EXPECT_EQ(PostGetOne(), "");
    service().SetFault(R"({"kind": "broken_xml", "count": 1})");
    const std::string broken = PostGetOne();
    EXPECT_NE(broken, "error");
    EXPECT_FALSE(broken.empty());
    EXPECT_TRUE(SignedIn);
}

// A window whose timer counts its ticks.
class TickingWindow : public Window {
  public:
    void Create() {
        CreateForm(FormDescription("MurloxTickingWindow").Style(WS_POPUP).ClientSize(10, 10),
                   nullptr);
        ::SetTimer(hwnd(), 1, 50, nullptr);
    }
    int ticks = 0;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_TIMER) {
            ++ticks;
            return 0;
        }
        return Window::HandleMessage(message, wParam, lParam);
    }
};

TEST_F(XmlRequestTest, WindowTimersKeepTickingWhileAPostWaits) {
    const KeepAliveScope keepAlive(KeepAlive{[] { Application::ProcessMessages(); }, false});
    TickingWindow window;
    window.Create();
    service().SetFault(R"({"kind": "delay", "seconds": 1.5})");
    EXPECT_NE(PostGetOne(), kFailedExchange);
    // The pump runs at least every 250 ms of waiting; a blocked thread would see one tick at most.
    EXPECT_GE(window.ticks, 4);
}

}  // namespace
