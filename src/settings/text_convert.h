#pragma once
// Conversions of the 8-bit texts that the registry and the service hand us.

#include <cstdint>
#include <string>
#include <string_view>

// Removes blanks and control characters (every byte up to and including 32) from both ends.
std::string_view TrimBlanks(std::string_view text);

// The signed 32-bit number that the trimmed text holds: optional sign, then decimal digits, or
// hexadecimal digits after "$", "x" or "0x". Anything else, or a value outside 32 bits, gives 0.
int32_t SafeStrToInt(std::string_view text);

// The text with the ASCII capitals A to Z made small; every other byte unchanged, whatever the
// code page.
std::string LowerCase(std::string_view text);
