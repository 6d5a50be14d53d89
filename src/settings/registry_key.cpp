#include "settings/registry_key.h"

namespace {

std::string Quoted(const char* name) {
    return std::string("\"") + name + "\"";
}

[[noreturn]] void ThrowReadError(const char* name) {
    throw RegistryError(name, "Could not read the registry value " + Quoted(name));
}

}  // namespace

RegistryKey::RegistryKey(const char* path, REGSAM access) {
    const LSTATUS status = ::RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, access,
                                             nullptr, key_.put(), nullptr);
    if (status != ERROR_SUCCESS) {
        throw RegistryError(path, "Could not open the registry key " + Quoted(path) + " (error " +
                                      std::to_string(status) + ")");
    }
}

std::string RegistryKey::ReadString(const char* name) const {
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS status = ::RegQueryValueExA(key_.get(), name, nullptr, &type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND || (status == ERROR_SUCCESS && size == 0)) {
        return {};
    }
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        ThrowReadError(name);
    }
    std::string text(size, '\0');
    status = ::RegQueryValueExA(key_.get(), name, nullptr, &type,
                                reinterpret_cast<BYTE*>(text.data()), &size);
    if (status != ERROR_SUCCESS) {
        ThrowReadError(name);
    }
    text.resize(size);
    // The stored terminating zero (or zeros) is not part of the text.
    const size_t end = text.find('\0');
    if (end != std::string::npos) {
        text.resize(end);
    }
    return text;
}

uint32_t RegistryKey::ReadDword(const char* name) const {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    const LSTATUS status = ::RegQueryValueExA(key_.get(), name, nullptr, &type,
                                              reinterpret_cast<BYTE*>(&value), &size);
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value)) {
        ThrowReadError(name);
    }
    return value;
}

void RegistryKey::ReadBinary(const char* name, void* data, DWORD size) const {
    DWORD type = 0;
    DWORD stored = size;
    const LSTATUS status =
        ::RegQueryValueExA(key_.get(), name, nullptr, &type, static_cast<BYTE*>(data), &stored);
    if (status != ERROR_SUCCESS || type != REG_BINARY || stored != size) {
        ThrowReadError(name);
    }
}

std::string RegistryKey::ReadBytes(const char* name, DWORD most) const {
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS status = ::RegQueryValueExA(key_.get(), name, nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS || type != REG_BINARY || size > most) {
        ThrowReadError(name);
    }
    std::string bytes(size, '\0');
    status = ::RegQueryValueExA(key_.get(), name, nullptr, &type,
                                reinterpret_cast<BYTE*>(bytes.data()), &size);
    if (status != ERROR_SUCCESS || type != REG_BINARY) {
        ThrowReadError(name);
    }
    bytes.resize(size);
    return bytes;
}

bool RegistryKey::HasValue(const char* name) const {
    return ::RegQueryValueExA(key_.get(), name, nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

void RegistryKey::WriteString(const char* name, const std::string& text) {
    Write(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void RegistryKey::WriteDword(const char* name, uint32_t value) {
    const DWORD data = value;
    Write(name, REG_DWORD, &data, sizeof(data));
}

void RegistryKey::WriteBinary(const char* name, const void* data, DWORD size) {
    Write(name, REG_BINARY, data, size);
}

void RegistryKey::DeleteValue(const char* name) {
    const LSTATUS status = ::RegDeleteValueA(key_.get(), name);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        throw RegistryError(name, "Could not delete the registry value " + Quoted(name) +
                                      " (error " + std::to_string(status) + ")");
    }
}

void RegistryKey::Write(const char* name, DWORD type, const void* data, DWORD size) {
    const LSTATUS status =
        ::RegSetValueExA(key_.get(), name, 0, type, static_cast<const BYTE*>(data), size);
    if (status != ERROR_SUCCESS) {
        throw RegistryError(name, "Could not write the registry value " + Quoted(name) +
                                      " (error " + std::to_string(status) + ")");
    }
}
