#include "windows/proxy_entry.h"

#include "settings/text_convert.h"

namespace {

constexpr const char* kProxyTypeNames[] = {"http", "socks4", "socks5"};

}  // namespace

std::string ProxyTypeName(int index) {
    return index >= 0 && index < 3 ? kProxyTypeNames[index] : "";
}

int ProxyTypeIndex(std::string_view name) {
    for (int i = 0; i < 3; ++i) {
        if (name == kProxyTypeNames[i]) {
            return i;
        }
    }
    return -1;
}

bool ProxyRealmAvailable(int typeIndex) {
    return typeIndex <= 0;
}

std::string ProxyEntryMessage(std::string_view host, std::string_view port) {
    if (SafeStrToInt(TrimBlanks(port)) == 0) {
        return kInvalidPortMessage;
    }
    if (TrimBlanks(host).empty()) {
        return kMissingProxyHostMessage;
    }
    return "";
}
