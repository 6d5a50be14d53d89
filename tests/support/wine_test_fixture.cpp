#include "support/wine_test_fixture.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cstdlib>

#include "app/application.h"
#include "app/forms.h"
#include "app/resource_window.h"
#include "settings/settings_record.h"
#include "signin/sign_in.h"
#include "support/program_state.h"
#include "ui/message_pump.h"
#include "ui/modal.h"
#include "ui/win_paths.h"

namespace {

std::function<void()>* tickStep = nullptr;

void CALLBACK RunTickStep(HWND, UINT, UINT_PTR, DWORD) {
    if (tickStep) {
        (*tickStep)();
    }
}

// Takes the messages waiting now, each through the client's pump unless drop names it.
void TakeWaitingMessages(const std::function<bool()>& condition, const MessageFilter& drop) {
    if (!drop) {
        DispatchWaitingMessages();
        return;
    }
    MSG message;
    while (!condition() && ::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!drop(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
}

}  // namespace

bool PumpUntil(const std::function<bool()>& condition, int milliseconds,
               const MessageFilter& drop) {
    const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
    while (!condition()) {
        if (::GetTickCount64() > deadline) {
            return false;
        }
        // Wakes for a message at once; the slice only bounds how late a condition that changes
        // without a message (another thread's work) is seen.
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        TakeWaitingMessages(condition, drop);
    }
    return true;
}

bool PoolWorkerRuns() {
    using QueryThread = LONG(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
    constexpr ULONG kThreadStartAddress = 9;  // ThreadQuerySetWin32StartAddress
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    const auto query = reinterpret_cast<QueryThread>(
        reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtQueryInformationThread")));
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 thread = {};
    thread.dwSize = sizeof(thread);
    bool runs = false;
    for (BOOL found = ::Thread32First(snapshot, &thread); found && !runs;
         found = ::Thread32Next(snapshot, &thread)) {
        if (thread.th32OwnerProcessID != ::GetCurrentProcessId()) {
            continue;
        }
        // A thread that ended since the snapshot cannot be opened, and runs no more.
        const HANDLE handle = ::OpenThread(THREAD_QUERY_INFORMATION, FALSE, thread.th32ThreadID);
        void* start = nullptr;
        const bool known =
            handle && query(handle, kThreadStartAddress, &start, sizeof(start), nullptr) == 0;
        if (handle) {
            ::CloseHandle(handle);
        }
        HMODULE module = nullptr;
        runs = known &&
               ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                        GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                    static_cast<LPCSTR>(start), &module) &&
               module == ntdll;
    }
    ::CloseHandle(snapshot);
    return runs;
}

EveryTick::EveryTick(unsigned periodMs, std::function<void()> step)
    : step_(std::move(step)), timer_(::SetTimer(nullptr, 0, periodMs, &RunTickStep)) {
    tickStep = &step_;
}

EveryTick::~EveryTick() {
    ::KillTimer(nullptr, timer_);
    tickStep = nullptr;
}

void ClientTest::SetUp() {
    service_ = StandInService(services().servicePort);
    service_.Reset();
    const std::string address = "127.0.0.1:" + std::to_string(services().servicePort);
    _putenv_s("MURLOX_SERVICE", address.c_str());
    recSETTINGS = SettingsRecord{};
    recSETTINGS.nickname = "demo@murlox.test";
    recSETTINGS.password = "demo";
    recSETTINGS.curdesktopid = "0";
    // A first run: no stored settings and no keep schedule, and no wallpaper of the client's on
    // the desktop.
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\MURLOX");
    ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(""), SPIF_UPDATEINIFILE);
    recSETTINGS.programfolder = ProgramFolder();
    recSETTINGS.keepdaysoff = true;
    ResetProgramState();
    SignedIn = true;
    answers_ = std::make_unique<PromptAnswerScope>(PromptAnswers{
        [this](const std::string& text, UINT) {
            messages.push_back(text);
            return IDOK;
        },
        [this](Window& window) {
            char className[256] = "";
            ::GetClassNameA(window.hwnd(), className, sizeof(className));
            modalWindows.push_back(className);
            // The download window is the client's own work, not a question to the user.
            const bool forReal = modalAnswer < 0 || std::string(className) == "TfrmDownloader";
            return forReal ? RunModalLoop(window) : modalAnswer;
        }});
    StartClient();
}

void ClientTest::StartClient() {
    forms_.reset();
    // Initialize takes away the quit message that a test which ended the message loop left.
    TestApplication().Initialize("MURLOX under test");
    forms_ = std::make_unique<ApplicationForms>();
    ASSERT_TRUE(forms_->Create(TestApplication().hwnd()));
}

bool ClientTest::PumpUntil(const std::function<bool()>& condition, int milliseconds,
                           const MessageFilter& drop) {
    return ::PumpUntil(condition, milliseconds, drop);
}

void ClientTest::TearDown() {
    forms_.reset();
    answers_.reset();
    _putenv_s("MURLOX_SERVICE", "");
    // A test that ended the client leaves the end of the message loop requested: the pump of a
    // later test that starts no client would dispatch nothing.
    ResetProgramState();
}

int ClientTest::Requests(const std::string& path) const {
    int count = 0;
    for (int i = 0; i < service_.RequestCount(); ++i) {
        count += service_.RawRequest(i).find(" " + path) != std::string::npos;
    }
    return count;
}

void ClientTest::UseProxy(const std::string& type, int port, const std::string& user,
                          const std::string& password) {
    recSETTINGS.proxyuse = true;
    recSETTINGS.proxytype = type;
    recSETTINGS.proxyhost = "127.0.0.1";
    recSETTINGS.proxyport = port;
    recSETTINGS.proxyusername = user;
    recSETTINGS.proxypassword = password;
}
