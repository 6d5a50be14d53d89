#include "ui/ansi_text.h"

#include <windows.h>

std::wstring WidenAnsi(const std::string& text) {
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(length, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string NarrowToAnsi(const std::wstring& text) {
    const int size = static_cast<int>(text.size());
    const int length =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(length, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

std::string AnsiCharacter(char32_t character) {
    wchar_t utf16[2];
    int units = 1;
    if (character >= 0x10000) {
        const char32_t above = character - 0x10000;
        utf16[0] = static_cast<wchar_t>(0xD800 + (above >> 10));
        utf16[1] = static_cast<wchar_t>(0xDC00 + (above & 0x3FF));
        units = 2;
    } else {
        utf16[0] = static_cast<wchar_t>(character);
    }
    char bytes[8];
    BOOL defaulted = FALSE;
    const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, utf16, units, bytes,
                                             sizeof(bytes), nullptr, &defaulted);
    if (length <= 0 || defaulted) {
        return "?";
    }
    return std::string(bytes, static_cast<size_t>(length));
}
