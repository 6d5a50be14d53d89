#pragma once
// Where the running program lives.

#include <string>

// Full path of the running program file.
std::string ProgramPath();

// Folder of the running program file, always ending in a backslash.
std::string ProgramFolder();
