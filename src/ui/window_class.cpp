#include "ui/window_class.h"

#include <map>
#include <memory>

namespace {

// The icon of the program's resources, shown by every window that has a caption.
constexpr int kApplicationIconId = 1;

HICON ApplicationIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    // Shared icons belong to the system's cache of the module, loaded at the first request.
    return static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(kApplicationIconId),
                                           IMAGE_ICON, ::GetSystemMetrics(widthMetric),
                                           ::GetSystemMetrics(heightMetric), LR_SHARED));
}

// Every class of the client's has the one window procedure of its windows.
WNDPROC clientProcedure = nullptr;

}  // namespace

WindowClass::WindowClass(std::string name, int backgroundColorIndex, WNDPROC procedure)
    : name_(std::move(name)) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    // Both sizes are given, loaded once for all classes: without a small icon the system makes
    // one from the resource anew for each class registered, which costs milliseconds at start.
    wc.hIcon = ApplicationIcon(instance, SM_CXICON, SM_CYICON);
    wc.hIconSm = ApplicationIcon(instance, SM_CXSMICON, SM_CYSMICON);
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = ::GetSysColorBrush(backgroundColorIndex);
    wc.lpszClassName = name_.c_str();
    ::RegisterClassExA(&wc);
    clientProcedure = procedure;
}

WindowClass::~WindowClass() {
    ::UnregisterClassA(name_.c_str(), ::GetModuleHandleA(nullptr));
}

const WindowClass& WindowClass::For(const FormDescription& form, WNDPROC procedure) {
    static std::map<std::string, std::unique_ptr<WindowClass>> classes;
    std::unique_ptr<WindowClass>& found = classes[form.className];
    if (!found) {
        found = std::make_unique<WindowClass>(form.className, form.backgroundColorIndex, procedure);
    }
    return *found;
}

bool WindowClass::IsClientWindow(HWND hwnd) {
    return clientProcedure && hwnd &&
           ::GetClassLongPtrA(hwnd, GCLP_WNDPROC) == reinterpret_cast<ULONG_PTR>(clientProcedure);
}
