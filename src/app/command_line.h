#pragma once
// Reading the process command line: the two switches and the text handed to a running instance.

#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kBootSwitch = "-boot";
inline constexpr std::string_view kUninstallSwitch = "-uninstall";

// Whether the raw command line contains the switch anywhere, compared case-sensitively, so that
// a folder name holding the switch counts as well.
bool HasSwitch(std::string_view commandLine, std::string_view switchText);

// Splits a raw command line the way the runtime does: blanks and control characters separate,
// double quotes group and are removed. The first element is the program path.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The text handed to the running instance: every argument (the program path excluded) followed
// by one blank, keeping only those after the last argument that contains ".exe" in any case.
std::string HandOverText(std::string_view commandLine);
