#include "windows/picker_navigation.h"

std::optional<std::string> PickedWallpaperId(std::string_view address) {
    const size_t marker = address.find(kNewDesktopMarker);
    if (marker == std::string_view::npos) {
        return std::nullopt;
    }
    const size_t idStart = marker + kNewDesktopMarker.size();
    const size_t idEnd = address.find(')', idStart);
    if (idEnd == std::string_view::npos) {
        return std::string();
    }
    return std::string(address.substr(idStart, idEnd - idStart));
}

bool IsBrowserErrorPage(std::string_view address) {
    return address.find("res://") != std::string_view::npos &&
           address.find("dll") != std::string_view::npos;
}
