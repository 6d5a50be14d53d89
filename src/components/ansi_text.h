#pragma once
// The client's texts are bytes in the system's ANSI code page; the system's COM interfaces and
// some of its functions take and give UTF-16.

#include <string>

std::wstring WidenAnsi(const std::string& text);
// Characters the code page lacks become its default character.
std::string NarrowToAnsi(const std::wstring& text);
