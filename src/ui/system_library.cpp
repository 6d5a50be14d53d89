#include "ui/system_library.h"

#include <delayimp.h>

#include <string>

HMODULE LoadSystemLibrary(const char* name) {
    if (const HMODULE library = ::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return library;
    }
    // A Windows 7 without its loader update refuses the flag: the system's folder by its path.
    if (::GetLastError() != ERROR_INVALID_PARAMETER) {
        return nullptr;
    }
    char folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    return ::LoadLibraryA((std::string(folder, length) + "\\" + name).c_str());
}

void LimitLibrarySearchToSystemFolder() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    // Looked up, not imported: a Windows 7 without its loader update lacks it and would refuse to
    // start the program.
    const auto setDefaultDllDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void (*)()>(
            ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories) {
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

namespace {

// The delay-load helper asks before it loads a library by its bare name; the answer is the
// system's copy. Loaded by name, not by path, so that the manifest's choice of a side-by-side
// version (the common controls' version 6) still holds. Where the flag is refused the helper
// loads the library itself, as Windows 7 without its loader update always did.
FARPROC WINAPI LoadDelayedFromSystemFolder(unsigned notification, PDelayLoadInfo info) {
    if (notification == dliNotePreLoadLibrary && info && info->szDll) {
        return reinterpret_cast<FARPROC>(
            ::LoadLibraryExA(info->szDll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    }
    return nullptr;
}

}  // namespace

// Declared by the delay-load header; this definition takes the place of the runtime's empty one.
// A variable of its own at namespace scope, not a member of anything: the delay-load helper reads
// it by this name.
PfnDliHook __pfnDliNotifyHook2 = LoadDelayedFromSystemFolder;
