#pragma once
// What the wire tests need of the servers that tests/support/test_services.py starts (CTest runs
// it around the tests): where each listens, its credentials, and the stand-in service's admin
// interface.

#include <string>

struct TestServices {
    int servicePort = 0;    // the MURLOX stand-in service
    int httpProxyPort = 0;  // tinyproxy, open
    int authProxyPort = 0;  // tinyproxy with Basic authentication
    std::string authProxyUser;
    std::string authProxyPassword;
    int socksPort = 0;       // danted: SOCKS 4 and SOCKS 5 without authentication
    int socks5AuthPort = 0;  // microsocks: SOCKS 5 with user name and password only
    std::string socks5AuthUser;
    std::string socks5AuthPassword;
};

// Read once from the state file named by MURLOX_TEST_SERVICES; throws std::runtime_error when
// the variable is missing or the file incomplete (the test was not started through CTest).
const TestServices& RunningTestServices();

// The stand-in service's admin paths, spoken with plain libcurl.
class StandInService {
  public:
    explicit StandInService(int port) : port_(port) {}

    int Port() const { return port_; }
    // "http://127.0.0.1:PORT" + pathAndQuery.
    std::string Url(const std::string& pathAndQuery) const;

    // Forgets the recorded requests and all faults, and brings the default news back.
    void Reset() const;
    // The news items from now on, as the stand-in's JSON list of objects with "message", "url"
    // and "type" (a missing key leaves that element out of the reply).
    void SetNews(const std::string& itemsJson) const;
    // A fault as the stand-in's JSON object, for example {"kind": "delay", "seconds": 1}.
    void SetFault(const std::string& faultJson) const;
    int RequestCount() const;
    // The recorded request exactly as received; a negative index counts from the end.
    std::string RawRequest(int index) const;

  private:
    std::string Admin(const std::string& pathAndQuery, const std::string* postedJson) const;

    int port_;
};
