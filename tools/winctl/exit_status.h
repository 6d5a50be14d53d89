// Exit statuses of winctl, the same for every command.
#pragma once

namespace winctl {

enum ExitStatus : int {
    kExitOk = 0,
    kExitNoMatch = 1,  // no window matched, or a wait timed out
    kExitUsage = 2,    // wrong command line
    kExitFailure = 3,  // the system refused an operation (a missing hook DLL, a refused hook)
};

}  // namespace winctl
