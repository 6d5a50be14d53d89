#pragma once
// The string result of an XPath query, the way both builds of pugixml give it.

#include <pugixml.hpp>

#include <string>

// The query's result for the node as a string. The client's pugixml is built without the
// standard library's strings and streams (those pull the C++ library's locales into the program),
// so the result is taken through a buffer.
std::string XPathString(const pugi::xpath_query& query, const pugi::xpath_node& node);
