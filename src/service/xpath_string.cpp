#include "service/xpath_string.h"

std::string XPathString(const pugi::xpath_query& query, const pugi::xpath_node& node) {
    std::string value(query.evaluate_string(nullptr, 0, node), '\0');  // with the terminator
    query.evaluate_string(value.data(), value.size(), node);
    value.pop_back();
    return value;
}
