#include "service/service_address.h"

#include <cstdlib>

std::string ServiceUrl(const std::string& path) {
    // Read at every call, so that a test can point the client elsewhere at any time.
    const char* replacement = std::getenv("MURLOX_SERVICE");
    std::string address = std::string(ServiceHost) + ":80";
    if (replacement != nullptr && *replacement != '\0') {
        address = replacement;
        if (address.find(':') == std::string::npos) {
            address += ":80";
        }
    }
    return "http://" + address + path;
}
