#include "service/xml_messages.h"

#include <cstdio>

namespace {

std::string Element(const char* name, std::string_view value) {
    return std::string("<") + name + ">" + EscapeXml(value) + "</" + name + ">";
}

std::string Message(const std::string& elements) {
    return "<message>" + elements + "</message>";
}

std::string Account(const std::string& nickname, const std::string& password) {
    return Element("username", nickname) + Element("password", password);
}

std::string Screen(const WallpaperRequestValues& values) {
    return Element("xres", std::to_string(values.xres)) +
           Element("yres", std::to_string(values.yres));
}

std::string Machine(const WallpaperRequestValues& values) {
    return Element("cid", values.cid) + Element("gmt", std::to_string(values.gmt));
}

}  // namespace

std::string EscapeXml(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\'':
                escaped += "&apos;";
                break;
            case '\r':
                // An XML parser turns a raw CR (alone or before LF) into LF.
                escaped += "&#13;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string BuildGetOneMessage(const WallpaperRequestValues& values) {
    return Message(Element("action", "GETONE") + Account(values.nickname, values.password) +
                   Screen(values) + Element("currentdesktopid", values.currentdesktopid) +
                   Machine(values));
}

std::string BuildGetNewOneMessage(const WallpaperRequestValues& values, const std::string& newId) {
    return Message(Element("action", "GETNEWONE") + Account(values.nickname, values.password) +
                   Screen(values) + Element("new", newId) +
                   Element("current", values.currentdesktopid) + Machine(values));
}

std::string BuildGetNewsMessage(const std::string& nickname, const std::string& password) {
    return Message(Element("action", "GETNEWS") + Account(nickname, password) +
                   Element("version", kClientVersion));
}

std::string FormatComputerId(uint32_t volumeSerial) {
    char text[16];
    std::snprintf(text, sizeof(text), "%04X:%04X", static_cast<unsigned>(volumeSerial >> 16),
                  static_cast<unsigned>(volumeSerial & 0xFFFF));
    return text;
}
