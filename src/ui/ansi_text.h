#pragma once
// The client's texts are bytes in the system's ANSI code page; the system's COM interfaces and
// some of its functions take and give UTF-16.

#include <string>

std::wstring WidenAnsi(const std::string& text);
// Characters the code page lacks become its default character.
std::string NarrowToAnsi(const std::wstring& text);
// One Unicode character in the code page: its bytes, or "?" for one the code page cannot hold
// (never a look-alike that the system would choose instead).
std::string AnsiCharacter(char32_t character);
