// The Windows user's proxy settings, written to the registry as Internet Options writes them,
// carry the client's real exchanges (the sign-in's worker, the wallpaper request, its download
// and the news) while the client's own proxy is off. Where the service must be reachable only
// through the proxy, the client is pointed at a name that does not resolve and the stand-in plays
// the proxy: it takes the absolute request form and serves it.

#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "service/http_client.h"
#include "settings/registry_key.h"
#include "settings/settings_record.h"
#include "signin/sign_in.h"
#include "signin/sign_in_rules.h"
#include "support/http_limits_scope.h"
#include "support/tcp_tap.h"
#include "support/wine_test_fixture.h"

namespace {

constexpr const char* kInternetSettings =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr const char* kConnections =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";

struct InternetOptions {
    std::string proxy;  // a fixed proxy, when not empty
    std::string bypass;
    std::string autoConfigUrl;  // a script's address, when not empty
};

// The settings in both places Windows keeps them: the values WinINet reads and the record of the
// default connection, which WinHTTP reads (Wine's among them). Without them again afterwards,
// Windows' default applies: automatic detection, which finds nothing here.
class InternetOptionsScope {
  public:
    explicit InternetOptionsScope(const InternetOptions& options) {
        RegistryKey settings(kInternetSettings, KEY_WRITE);
        settings.WriteDword("ProxyEnable", options.proxy.empty() ? 0 : 1);
        settings.WriteString("ProxyServer", options.proxy);
        settings.WriteString("ProxyOverride", options.bypass);
        if (!options.autoConfigUrl.empty()) {
            settings.WriteString("AutoConfigURL", options.autoConfigUrl);
        }
        constexpr uint32_t kDirect = 1, kProxy = 2, kAutoConfigUrl = 4;
        uint32_t flags = kDirect;
        flags |= options.proxy.empty() ? 0u : kProxy;
        flags |= options.autoConfigUrl.empty() ? 0u : kAutoConfigUrl;
        std::string record;
        auto addNumber = [&record](uint32_t n) {
            record.append(reinterpret_cast<const char*>(&n), sizeof n);
        };
        addNumber(0x46);  // the record's version
        addNumber(1);     // how often it was changed
        addNumber(flags);
        for (const std::string* text : {&options.proxy, &options.bypass, &options.autoConfigUrl}) {
            addNumber(static_cast<uint32_t>(text->size()));
            record += *text;
        }
        record.append(32, '\0');
        RegistryKey(kConnections, KEY_WRITE)
            .WriteBinary("DefaultConnectionSettings", record.data(),
                         static_cast<DWORD>(record.size()));
    }
    InternetOptionsScope(const InternetOptionsScope&) = delete;
    InternetOptionsScope& operator=(const InternetOptionsScope&) = delete;
    ~InternetOptionsScope() {
        RegistryKey settings(kInternetSettings, KEY_WRITE);
        for (const char* name : {"ProxyEnable", "ProxyServer", "ProxyOverride", "AutoConfigURL"}) {
            settings.DeleteValue(name);
        }
        RegistryKey(kConnections, KEY_WRITE).DeleteValue("DefaultConnectionSettings");
    }
};

class SystemProxyTest : public ClientTest {
  protected:
    void SetUp() override {
        ClientTest::SetUp();
        recSETTINGS.autologin = true;
        SignedIn = false;
    }

    std::string StandIn() const { return "127.0.0.1:" + std::to_string(services().servicePort); }

    // Points the client at a name that only the proxy can serve.
    void ServiceOnlyThroughProxy() {
        _putenv_s(
            "MURLOX_SERVICE",
            (kUnresolvable + std::string(":") + std::to_string(services().servicePort)).c_str());
    }

    // The sign-in, from its worker to the news, and what the stand-in received meanwhile.
    std::vector<std::string> SignInThenRequests(int timeoutMs = kPumpUntilTimeoutMs) {
        StartSignIn(stTrayMenu);
        EXPECT_TRUE(PumpUntil([] { return !SignInBusy; }, timeoutMs));
        EXPECT_TRUE(SignedIn) << "login result " << LoginResultCode;
        std::vector<std::string> received;
        for (int i = 0; i < service().RequestCount(); ++i) {
            received.push_back(service().RawRequest(i));
        }
        return received;
    }

    static constexpr const char* kUnresolvable = "service.murlox.invalid";
};

bool Begins(const std::string& request, const std::string& start) {
    return request.rfind(start, 0) == 0;
}

TEST_F(SystemProxyTest, AFixedProxyOrAScriptCarriesEveryExchangeToAServiceOnlyItReaches) {
    const std::string proxied =
        "http://" + std::string(kUnresolvable) + ":" + std::to_string(services().servicePort) + "/";
    const std::string script =
        "function FindProxyForURL(url, host) { return 'PROXY " + StandIn() + "; DIRECT'; }";
    service().SetFault(R"({"path": "/proxy.pac", "kind": "body", "body": ")" + script + "\"}");
    const InternetOptions settings[] = {
        {StandIn(), "<local>;127.0.0.1", ""},
        {"", "", "http://" + StandIn() + "/proxy.pac"},
    };
    for (const InternetOptions& options : settings) {
        SCOPED_TRACE(options.autoConfigUrl.empty() ? "fixed proxy" : "proxy script");
        const InternetOptionsScope scope(options);
        ServiceOnlyThroughProxy();
        StartClient();
        std::vector<std::string> served;
        for (const std::string& request : SignInThenRequests()) {
            if (request.find(" /proxy.pac ") == std::string::npos) {
                EXPECT_TRUE(Begins(request, "GET " + proxied) || Begins(request, "POST " + proxied))
                    << request;
                served.push_back(request.substr(0, request.find(' ', 5)));
            }
        }
        // The login on the worker, the wallpaper request, its download and the news.
        ASSERT_EQ(served.size(), 4u);
        EXPECT_NE(served[0].find("/actions/login.php"), std::string::npos);
        EXPECT_NE(served[1].find("/actions/wallpaperserve.php"), std::string::npos);
        EXPECT_NE(served[2].find("/murlos/"), std::string::npos);
        EXPECT_NE(served[3].find("/actions/news.php"), std::string::npos);
        EXPECT_NE(recSETTINGS.curdesktopid, "0");
        service().Reset();
        service().SetFault(R"({"path": "/proxy.pac", "kind": "body", "body": ")" + script + "\"}");
        recSETTINGS.curdesktopid = "0";
        SignedIn = false;
    }
}

TEST_F(SystemProxyTest, BypassedAddressesAndScriptsThatDoNotAnswerInTimeGoDirect) {
    const std::string nobody = "127.0.0.1:" + std::to_string(UnusedLoopbackPort());
    // Held back far longer than the wait the exchanges allow the script.
    service().SetFault(R"({"path": "/held-back.pac", "kind": "delay", "seconds": 60})");
    HttpLimits limits = kHttpLimits;
    limits.proxyLookup = std::chrono::milliseconds(500);
    const HttpLimitsScope shortWait(limits);
    struct Case {
        const char* what;
        InternetOptions options;
        std::string service;
    } cases[] = {
        {"bypass entry", {nobody, "*.murlox.invalid;127.0.0.1", ""}, StandIn()},
        {"local name",
         {nobody, "<local>", ""},
         "localhost:" + std::to_string(services().servicePort)},
        {"script held back", {"", "", "http://" + StandIn() + "/held-back.pac"}, StandIn()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const InternetOptionsScope scope(c.options);
        _putenv_s("MURLOX_SERVICE", c.service.c_str());
        StartClient();
        // Well before the held-back script's answer.
        const std::vector<std::string> received = SignInThenRequests(20000);
        ASSERT_FALSE(received.empty());
        for (const std::string& request : received) {
            EXPECT_TRUE(request.find(" /held-back.pac ") != std::string::npos ||
                        Begins(request, "GET /") || Begins(request, "POST /"))
                << request;
        }
        SignedIn = false;
    }
}

TEST_F(SystemProxyTest, AProxyThatAsksForCredentialsGetsTheClientsProxyUser) {
    const InternetOptionsScope scope(
        {"127.0.0.1:" + std::to_string(services().authProxyPort), "", ""});
    recSETTINGS.proxyusername = services().authProxyUser;
    recSETTINGS.proxypassword = services().authProxyPassword;
    StartClient();
    SignInThenRequests();
    EXPECT_NE(recSETTINGS.curdesktopid, "0");
}

}  // namespace
