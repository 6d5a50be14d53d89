#pragma once
// A key of the per-user registry with the reads and writes the settings need. Texts are bytes in
// the system's ANSI code page.

#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "ui/win_handles.h"

// A failed registry access; names the value (or the key) it failed on.
class RegistryError : public std::runtime_error {
  public:
    RegistryError(const std::string& name, const std::string& message)
        : std::runtime_error(message), name_(name) {}
    const std::string& name() const { return name_; }

  private:
    std::string name_;
};

class RegistryKey {
  public:
    // Opens HKEY_CURRENT_USER\path, creating it when missing.
    RegistryKey(const char* path, REGSAM access);
    // Takes an already open key.
    explicit RegistryKey(UniqueHKey key) : key_(std::move(key)) {}

    // A missing or empty value reads as empty text; a value of another type with data throws.
    std::string ReadString(const char* name) const;
    // Only a REG_DWORD reads; a missing value or one of another type throws.
    uint32_t ReadDword(const char* name) const;
    // Only a REG_BINARY of exactly the size reads; anything else throws.
    void ReadBinary(const char* name, void* data, DWORD size) const;
    // The bytes of a REG_BINARY of at most `most` bytes; anything else, a larger one among them,
    // throws.
    std::string ReadBytes(const char* name, DWORD most) const;
    bool HasValue(const char* name) const;

    // Writes REG_SZ with its terminating zero byte.
    void WriteString(const char* name, const std::string& text);
    void WriteDword(const char* name, uint32_t value);
    void WriteBinary(const char* name, const void* data, DWORD size);
    // Deleting a missing value is no error.
    void DeleteValue(const char* name);

  private:
    void Write(const char* name, DWORD type, const void* data, DWORD size);

    UniqueHKey key_;
};
