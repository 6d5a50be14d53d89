#include "ui/win_paths.h"

#include <windows.h>

std::string ProgramPath() {
    std::string path(MAX_PATH, '\0');
    while (true) {
        const DWORD length =
            ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string ProgramFolder() {
    std::string folder = ProgramPath();
    folder.resize(folder.find_last_of('\\') + 1);
    if (folder.empty() || folder.back() != '\\') {
        folder += '\\';
    }
    return folder;
}
