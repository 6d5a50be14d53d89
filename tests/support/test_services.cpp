#include "support/test_services.h"

#include <curl/curl.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>

namespace {

std::map<std::string, std::string> ReadStateFile(const std::string& path) {
    std::ifstream file(path);
    if (!file) {
        throw std::runtime_error("cannot read the test services' state file " + path);
    }
    std::map<std::string, std::string> values;
    std::string line;
    while (std::getline(file, line)) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos) {
            values[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return values;
}

TestServices LoadTestServices() {
    const char* path = std::getenv("MURLOX_TEST_SERVICES");
    if (path == nullptr || *path == '\0') {
        throw std::runtime_error(
            "MURLOX_TEST_SERVICES is not set: run the wire tests through CTest, which starts "
            "the servers with tests/support/test_services.py");
    }
    const std::map<std::string, std::string> values = ReadStateFile(path);
    auto text = [&](const std::string& key) {
        const auto found = values.find(key);
        if (found == values.end()) {
            throw std::runtime_error(std::string(path) + " lacks " + key);
        }
        return found->second;
    };
    auto port = [&](const std::string& key) { return std::stoi(text(key)); };
    TestServices services;
    services.servicePort = port("service_port");
    services.httpProxyPort = port("http_proxy_port");
    services.authProxyPort = port("auth_proxy_port");
    services.authProxyUser = text("auth_proxy_user");
    services.authProxyPassword = text("auth_proxy_password");
    services.socksPort = port("socks_port");
    services.socks5AuthPort = port("socks5_auth_port");
    services.socks5AuthUser = text("socks5_auth_user");
    services.socks5AuthPassword = text("socks5_auth_password");
    return services;
}

size_t Collect(char* data, size_t size, size_t count, void* answer) {
    static_cast<std::string*>(answer)->append(data, size * count);
    return size * count;
}

}  // namespace

const TestServices& RunningTestServices() {
    static const TestServices services = LoadTestServices();
    return services;
}

std::string StandInService::Url(const std::string& pathAndQuery) const {
    return "http://127.0.0.1:" + std::to_string(port_) + pathAndQuery;
}

void StandInService::Reset() const {
    const std::string none = "{}";
    Admin("/_admin/reset", &none);
}

void StandInService::SetNews(const std::string& itemsJson) const {
    const std::string request = "{\"items\": " + itemsJson + "}";
    Admin("/_admin/news", &request);
}

void StandInService::SetFault(const std::string& faultJson) const {
    Admin("/_admin/fault", &faultJson);
}

int StandInService::RequestCount() const {
    return std::stoi(Admin("/_admin/count", nullptr));
}

std::string StandInService::RawRequest(int index) const {
    return Admin("/_admin/raw?index=" + std::to_string(index), nullptr);
}

std::string StandInService::Admin(const std::string& pathAndQuery,
                                  const std::string* postedJson) const {
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> easy(curl_easy_init(), curl_easy_cleanup);
    if (!easy) {
        throw std::runtime_error("libcurl could not create a transfer");
    }
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(
        curl_slist_append(nullptr, "Content-Type: application/json"), curl_slist_free_all);
    std::string answer;
    const std::string url = Url(pathAndQuery);
    curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy.get(), CURLOPT_PROXY, "");
    curl_easy_setopt(easy.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy.get(), CURLOPT_TIMEOUT, 30L);
    curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &answer);
    if (postedJson != nullptr) {
        curl_easy_setopt(easy.get(), CURLOPT_HTTPHEADER, headers.get());
        curl_easy_setopt(easy.get(), CURLOPT_POSTFIELDS, postedJson->c_str());
    }
    const CURLcode result = curl_easy_perform(easy.get());
    long status = 0;
    curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &status);
    if (result != CURLE_OK || status != 200) {
        throw std::runtime_error(url + " failed: " + curl_easy_strerror(result) + ", status " +
                                 std::to_string(status) + ": " + answer);
    }
    return answer;
}
