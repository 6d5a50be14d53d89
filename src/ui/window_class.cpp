#include "ui/window_class.h"

#include <memory>

#include "ui/ui_context.h"

namespace {

// The icon of the program's resources, shown by every window that has a caption.
constexpr int kApplicationIconId = 1;

HICON ApplicationIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    // Shared icons belong to the system's cache of the module, loaded at the first request.
    return static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(kApplicationIconId),
                                           IMAGE_ICON, ::GetSystemMetrics(widthMetric),
                                           ::GetSystemMetrics(heightMetric), LR_SHARED));
}

}  // namespace

WindowClass::WindowClass(std::string name, int backgroundColorIndex, WNDPROC procedure)
    : name_(std::move(name)), procedure_(procedure) {
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
}

WindowClass::~WindowClass() {
    ::UnregisterClassA(name_.c_str(), ::GetModuleHandleA(nullptr));
}

const WindowClass& WindowClass::For(const FormDescription& form, WNDPROC procedure) {
    std::shared_ptr<WindowClass>& found = TheUi().windowClasses[form.className];
    if (!found) {
        found = std::make_shared<WindowClass>(form.className, form.backgroundColorIndex, procedure);
    }
    return *found;
}

bool WindowClass::IsClientWindow(HWND hwnd) {
    if (!hwnd) {
        return false;
    }
    const ULONG_PTR procedure = ::GetClassLongPtrA(hwnd, GCLP_WNDPROC);
    for (const auto& entry : TheUi().windowClasses) {
        if (procedure == reinterpret_cast<ULONG_PTR>(entry.second->procedure_)) {
            return true;
        }
    }
    return false;
}
