#include "arguments.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace winctl {

namespace {

struct OptionKind {
    const char* name;
    bool takesValue;
};

// Every option winctl knows; each command accepts a subset.
constexpr OptionKind kOptionKinds[] = {
    {"--hwnd", true},     {"--class", true},  {"--title", true},   {"--pid", true},
    {"--visible", false}, {"--gone", false},  {"--timeout", true}, {"--msg", true},
    {"--wparam", true},   {"--lparam", true}, {"--count", true},   {"--desktop", true},
    {"--text", true},     {"--delay", true},  {"--x", true},       {"--y", true},
    {"--button", true},
};

const OptionKind* FindOptionKind(const std::string& name) {
    for (const OptionKind& kind : kOptionKinds) {
        if (name == kind.name) {
            return &kind;
        }
    }
    return nullptr;
}

uint32_t ParseNumber(const std::string& option, const std::string& text) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = hex ? text.c_str() + 2 : text.c_str();
    const bool negative = !hex && text[0] == '-';
    const bool digitsValid = *digits != '\0' && (hex ? std::isxdigit(digits[negative]) != 0
                                                     : std::isdigit(digits[negative]) != 0);
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(digits, &end, hex ? 16 : 10);
    if (!digitsValid || *end != '\0' || errno == ERANGE || value < INT32_MIN ||
        value > static_cast<long long>(UINT32_MAX)) {
        throw UsageError(option + " needs a 32-bit number, decimal or 0x-hex, not \"" + text +
                         "\"");
    }
    return static_cast<uint32_t>(value);
}

}  // namespace

Arguments::Arguments(int argc, char** argv, int first, const std::vector<std::string>& accepted) {
    for (int index = first; index < argc; ++index) {
        const std::string name = argv[index];
        const OptionKind* kind = FindOptionKind(name);
        if (!kind || std::find(accepted.begin(), accepted.end(), name) == accepted.end()) {
            throw UsageError("unexpected argument \"" + name + "\"");
        }
        if (Has(name)) {
            throw UsageError(name + " given twice");
        }
        if (!kind->takesValue) {
            flags_.insert(name);
            continue;
        }
        if (index + 1 == argc) {
            throw UsageError(name + " needs a value");
        }
        values_[name] = argv[++index];
    }
}

bool Arguments::Has(const std::string& option) const {
    return values_.count(option) != 0 || flags_.count(option) != 0;
}

const std::string& Arguments::Text(const std::string& option) const {
    return values_.at(option);
}

uint32_t Arguments::Number(const std::string& option, uint32_t fallback) const {
    return Has(option) ? ParseNumber(option, Text(option)) : fallback;
}

uint32_t Arguments::RequiredNumber(const std::string& option) const {
    if (!Has(option)) {
        throw UsageError(option + " is required");
    }
    return ParseNumber(option, Text(option));
}

uint32_t Arguments::Milliseconds(const std::string& option, uint32_t fallback) const {
    if (!Has(option)) {
        return fallback;
    }
    const std::string& text = Text(option);
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    // Up to a day; a longer wait in a test is a mistake.
    if (text.empty() || *end != '\0' || !(seconds >= 0.0 && seconds <= 86400.0)) {
        throw UsageError(option + " needs seconds from 0 to 86400, not \"" + text + "\"");
    }
    return static_cast<uint32_t>(std::lround(seconds * 1000.0));
}

}  // namespace winctl
