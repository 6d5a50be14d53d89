#include "app/command_line.h"

#include <algorithm>

namespace {

bool IsSeparator(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

bool ContainsExeInAnyCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    });
    return text.find(".EXE") != std::string::npos;
}

}  // namespace

bool HasSwitch(std::string_view commandLine, std::string_view switchText) {
    return commandLine.find(switchText) != std::string_view::npos;
}

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> parts;
    size_t i = 0;
    while (true) {
        while (i < commandLine.size() && IsSeparator(commandLine[i])) {
            ++i;
        }
        if (i >= commandLine.size()) {
            return parts;
        }
        std::string part;
        bool quoted = false;
        for (; i < commandLine.size() && (quoted || !IsSeparator(commandLine[i])); ++i) {
            if (commandLine[i] == '"') {
                quoted = !quoted;
            } else {
                part += commandLine[i];
            }
        }
        parts.push_back(std::move(part));
    }
}

std::string HandOverText(std::string_view commandLine) {
    const std::vector<std::string> parts = SplitCommandLine(commandLine);
    std::string text;
    for (size_t i = 1; i < parts.size(); ++i) {
        text += parts[i];
        text += ' ';
        if (ContainsExeInAnyCase(text)) {
            text.clear();
        }
    }
    return text;
}
