#include "support/process_objects.h"

#include <windows.h>
#include <winternl.h>

#include <ostream>
#include <vector>

namespace {

constexpr ULONG kSystemHandleInformation = 16;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);

struct SystemHandleEntry {
    ULONG ownerProcessId;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ACCESS_MASK access;
};

struct SystemHandles {
    ULONG count;
    SystemHandleEntry entries[1];
};

int CountHandles() {
    std::vector<char> buffer(1 << 20);
    NTSTATUS status;
    while ((status = ::NtQuerySystemInformation(
                static_cast<SYSTEM_INFORMATION_CLASS>(kSystemHandleInformation), buffer.data(),
                static_cast<ULONG>(buffer.size()), nullptr)) == kInfoLengthMismatch) {
        buffer.resize(buffer.size() * 2);
    }
    if (status != 0) {
        return -1;
    }
    const auto* handles = reinterpret_cast<const SystemHandles*>(buffer.data());
    int count = 0;
    for (ULONG i = 0; i < handles->count; ++i) {
        count += handles->entries[i].ownerProcessId == ::GetCurrentProcessId();
    }
    return count;
}

constexpr size_t kWineGdiEntrySize = 24;
constexpr size_t kWineGdiTypeOffset = 14;
constexpr size_t kWineGdiEntries = 0x10000;
constexpr size_t kPebGdiSharedHandleTable = 0x94;

int CountWineGdiObjects() {
    PROCESS_BASIC_INFORMATION process = {};
    if (::NtQueryInformationProcess(::GetCurrentProcess(), ProcessBasicInformation, &process,
                                    sizeof(process), nullptr) != 0) {
        return -1;
    }
    const auto* peb = reinterpret_cast<const BYTE*>(process.PebBaseAddress);
    const auto* table = *reinterpret_cast<const BYTE* const*>(peb + kPebGdiSharedHandleTable);
    if (!table) {
        return -1;
    }
    int count = 0;
    for (size_t i = 0; i < kWineGdiEntries; ++i) {
        count += table[i * kWineGdiEntrySize + kWineGdiTypeOffset] != 0;
    }
    return count;
}

BOOL CALLBACK CountChildWindow(HWND, LPARAM lParam) {
    ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

// A top-level window and all its descendants, which EnumChildWindows reaches at any depth.
BOOL CALLBACK CountWindow(HWND window, LPARAM lParam) {
    ++*reinterpret_cast<int*>(lParam);
    ::EnumChildWindows(window, &CountChildWindow, lParam);
    return TRUE;
}

int CountThreadWindows() {
    int count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

}  // namespace

ProcessObjects CountProcessObjects() {
    ProcessObjects objects;
    objects.handles = CountHandles();
    const HANDLE process = ::GetCurrentProcess();
    const int gdi = static_cast<int>(::GetGuiResources(process, GR_GDIOBJECTS));
    const int user = static_cast<int>(::GetGuiResources(process, GR_USEROBJECTS));
    objects.gdiObjects = gdi > 0 ? gdi : CountWineGdiObjects();
    objects.userObjects = user > 0 ? user : CountThreadWindows();
    return objects;
}

bool operator==(const ProcessObjects& a, const ProcessObjects& b) {
    return a.handles == b.handles && a.gdiObjects == b.gdiObjects && a.userObjects == b.userObjects;
}

std::ostream& operator<<(std::ostream& out, const ProcessObjects& objects) {
    return out << "{handles " << objects.handles << ", GDI objects " << objects.gdiObjects
               << ", user objects " << objects.userObjects << "}";
}
