#include "service/service_address.h"

#include <cstdlib>

namespace {

// Read at every call, so that a test can point the client elsewhere at any time.
const char* Replacement() {
    const char* replacement = std::getenv("MURLOX_SERVICE");
    return replacement != nullptr && *replacement != '\0' ? replacement : nullptr;
}

}  // namespace

std::string ServiceUrl(const std::string& path) {
    std::string address = std::string(ServiceHost) + ":80";
    if (const char* replacement = Replacement()) {
        address = replacement;
        if (address.find(':') == std::string::npos) {
            address += ":80";
        }
    }
    return "http://" + address + path;
}

std::string ServiceShortAddress(const std::string& path) {
    const char* replacement = Replacement();
    return (replacement ? replacement : ServiceHost) + path;
}
