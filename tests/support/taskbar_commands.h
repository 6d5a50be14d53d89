#pragma once
// The commands posted to the shell's taskbar, as its thread takes them: while the object lives,
// "winctl watch" (tools/winctl, built beside the tests) hooks that thread for WM_COMMAND and
// prints each one it takes.

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/wine_test_fixture.h"
#include "ui/win_handles.h"
#include "ui/win_paths.h"

class TaskbarCommands {
  public:
    TaskbarCommands() {
        SECURITY_ATTRIBUTES inherited = {sizeof(inherited), nullptr, TRUE};
        HANDLE read = nullptr;
        HANDLE write = nullptr;
        if (!::CreatePipe(&read, &write, &inherited, 0)) {
            return;
        }
        output_.reset(read);
        const UniqueHandle childOutput(write);
        ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
        std::string command = "\"" + ProgramFolder() +
                              "tools\\winctl\\winctl.exe\" watch --class Shell_TrayWnd --msg " +
                              std::to_string(WM_COMMAND) + " --timeout 600 --count 1000000";
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = write;
        PROCESS_INFORMATION process = {};
        if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                              nullptr, nullptr, &startup, &process)) {
            return;
        }
        process_.reset(process.hProcess);
        const UniqueHandle thread(process.hThread);
        watching_ = NextLine() == "ready";
    }
    TaskbarCommands(const TaskbarCommands&) = delete;
    TaskbarCommands& operator=(const TaskbarCommands&) = delete;
    ~TaskbarCommands() {
        if (process_) {
            ::TerminateProcess(process_.get(), 0);
            ::WaitForSingleObject(process_.get(), 10000);
        }
    }

    // Whether winctl hooked the taskbar's thread.
    bool Watching() const { return watching_; }

    // The identifiers of the commands posted to the taskbar that it took since the last call, once
    // it has taken every message posted to it before this call: a mark posted after them (a
    // notification code that no taskbar acts on) is taken after them.
    std::vector<unsigned> Taken() {
        const WPARAM markCommand = MAKEWPARAM(0, kMarkCode);
        const LPARAM mark = ++marks_;
        ::PostMessageA(::FindWindowA("Shell_TrayWnd", nullptr), WM_COMMAND, markCommand, mark);
        std::vector<unsigned> taken;
        for (std::string line = NextLine(); !line.empty(); line = NextLine()) {
            if (line.find(" via=posted") == std::string::npos) {
                continue;
            }
            const unsigned long command = Field(line, "wparam");
            if (command != markCommand) {
                taken.push_back(LOWORD(command));
            } else if (Field(line, "lparam") == static_cast<unsigned long>(mark)) {
                return taken;
            }
        }
        ADD_FAILURE() << "the taskbar did not take the mark";
        return taken;
    }

  private:
    static constexpr WORD kMarkCode = 0x4d55;

    // The number in a field of winctl's report ("wparam=0x1a3").
    static unsigned long Field(const std::string& line, const std::string& name) {
        const size_t at = line.find(" " + name + "=");
        return at == std::string::npos
                   ? 0
                   : std::strtoul(line.c_str() + at + name.size() + 2, nullptr, 16);
    }

    // The next line winctl printed, without its end; empty when none came in time.
    std::string NextLine() {
        const auto complete = [this] {
            DWORD available = 0;
            if (::PeekNamedPipe(output_.get(), nullptr, 0, nullptr, &available, nullptr) &&
                available > 0) {
                std::string bytes(available, '\0');
                DWORD read = 0;
                if (::ReadFile(output_.get(), bytes.data(), available, &read, nullptr)) {
                    buffer_.append(bytes, 0, read);
                }
            }
            return buffer_.find('\n') != std::string::npos;
        };
        if (!output_ || !PumpUntil(complete)) {
            return {};
        }
        const size_t end = buffer_.find('\n');
        std::string line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        return line;
    }

    UniqueHandle output_;
    UniqueHandle process_;
    std::string buffer_;
    bool watching_ = false;
    LPARAM marks_ = 0;
};
