// The command line of a second start, handed to the running client: whatever it holds, the
// hand-over holds no argument naming a program, and each handed-over argument ends in one blank.

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/command_line.h"
#include "fuzz_check.h"

namespace {

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string commandLine(reinterpret_cast<const char*>(data), size);
    const std::string text = HandOverText(commandLine);
    FUZZ_CHECK(Upper(text).find(".EXE") == std::string::npos);
    FUZZ_CHECK(text.empty() || text.back() == ' ');
    const auto parts = SplitCommandLine(commandLine);
    std::string all;
    for (size_t i = 1; i < parts.size(); ++i) {
        all += parts[i] + ' ';
    }
    FUZZ_CHECK(all.size() >= text.size());
    FUZZ_CHECK(all.compare(all.size() - text.size(), text.size(), text) == 0);
    HasSwitch(commandLine, kBootSwitch);
    HasSwitch(commandLine, kUninstallSwitch);
    return 0;
}
