// Command-line options of winctl: "--name value" pairs and "--name" flags after the command word.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace winctl {

// Wrong command-line use; winctl reports it and exits with status 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// --timeout of the commands that wait, when not given: long enough for a slow start under Wine,
// short enough that a test that went wrong ends.
constexpr uint32_t kDefaultTimeoutMs = 10000;

class Arguments {
  public:
    // Reads argv[first..argc) accepting only the named options; throws UsageError.
    Arguments(int argc, char** argv, int first, const std::vector<std::string>& accepted);

    bool Has(const std::string& option) const;
    const std::string& Text(const std::string& option) const;

    // Decimal (optionally negative) or 0x-hexadecimal, within 32 bits signed or unsigned.
    uint32_t Number(const std::string& option, uint32_t fallback) const;
    uint32_t RequiredNumber(const std::string& option) const;
    // Non-negative seconds, fractions allowed, returned as milliseconds.
    uint32_t Milliseconds(const std::string& option, uint32_t fallback) const;

  private:
    std::map<std::string, std::string> values_;
    std::set<std::string> flags_;
};

}  // namespace winctl
