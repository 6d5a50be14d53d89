#pragma once
// Libraries are loaded from the system's folder only. The program's own folder comes first in
// Windows' default search, and a download folder or a shared folder the program was started from
// may hold a DLL of a system library's name, which would then run inside the client.

#include <windows.h>

// The library of that name from the system's folder, or null. For libraries that no manifest
// redirects to a side-by-side version.
HMODULE LoadSystemLibrary(const char* name);

// Limits every later LoadLibrary of the process (the system's own included) to the system's
// folder, where Windows can (Windows 8, and Windows 7 with its loader update). Called first at
// start. Delay-loaded libraries come from the system's folder on every Windows.
void LimitLibrarySearchToSystemFolder();
