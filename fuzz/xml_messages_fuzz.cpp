// The XML messages with values of any bytes but NUL (texts of the registry and the windows hold
// none): parsed back as a conforming XML parser reads them, every element holds its value exactly.

#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "service/xml_messages.h"

namespace {

// Splits the input at NUL bytes into the values of the messages, in order; missing ones are empty.
std::vector<std::string> Values(const uint8_t* data, size_t size, size_t count) {
    std::vector<std::string> values(count);
    size_t index = 0;
    for (size_t i = 0; i < size && index < count; ++i) {
        if (data[i] == 0) {
            ++index;
        } else {
            values[index] += static_cast<char>(data[i]);
        }
    }
    return values;
}

int32_t Number(const std::string& text) {
    uint32_t value = 0;
    for (const char c : text) {
        value = value * 131 + static_cast<unsigned char>(c);
    }
    return static_cast<int32_t>(value);
}

// Whitespace-only text is text too, and a line end is normalised to LF as XML prescribes.
pugi::xml_node Parsed(pugi::xml_document& document, const std::string& message) {
    const std::string xml = "<?xml version=\"1.0\"?>" + message;
    const pugi::xml_parse_result result = document.load_buffer(
        xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata, pugi::encoding_utf8);
    FUZZ_CHECK(result);
    const pugi::xml_node root = document.document_element();
    FUZZ_CHECK(std::string(root.name()) == "message");
    return root;
}

void CheckValues(const pugi::xml_node root,
                 const std::vector<std::pair<const char*, std::string>>& expected) {
    pugi::xml_node element = root.first_child();
    for (const auto& [name, value] : expected) {
        FUZZ_CHECK(element && std::string(element.name()) == name);
        FUZZ_CHECK(element.text().get() == value);
        element = element.next_sibling();
    }
    FUZZ_CHECK(!element);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> v = Values(data, size, 8);
    WallpaperRequestValues values;
    values.nickname = v[0];
    values.password = v[1];
    values.xres = Number(v[2]);
    values.yres = Number(v[3]);
    values.currentdesktopid = v[4];
    values.cid = v[5];
    values.gmt = Number(v[6]);
    const std::string& newId = v[7];
    const std::string xres = std::to_string(values.xres);
    const std::string yres = std::to_string(values.yres);
    const std::string gmt = std::to_string(values.gmt);

    pugi::xml_document one;
    CheckValues(Parsed(one, BuildGetOneMessage(values)), {{"action", "GETONE"},
                                                          {"username", v[0]},
                                                          {"password", v[1]},
                                                          {"xres", xres},
                                                          {"yres", yres},
                                                          {"currentdesktopid", v[4]},
                                                          {"cid", v[5]},
                                                          {"gmt", gmt}});
    pugi::xml_document newOne;
    CheckValues(Parsed(newOne, BuildGetNewOneMessage(values, newId)), {{"action", "GETNEWONE"},
                                                                       {"username", v[0]},
                                                                       {"password", v[1]},
                                                                       {"xres", xres},
                                                                       {"yres", yres},
                                                                       {"new", newId},
                                                                       {"current", v[4]},
                                                                       {"cid", v[5]},
                                                                       {"gmt", gmt}});
    pugi::xml_document news;
    CheckValues(Parsed(news, BuildGetNewsMessage(v[0], v[1])), {{"action", "GETNEWS"},
                                                                {"username", v[0]},
                                                                {"password", v[1]},
                                                                {"version", kClientVersion}});
    return 0;
}
