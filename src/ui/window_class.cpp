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

// What every class is registered with: the application's icon in both sizes and the arrow.
struct ClassLook {
    HICON icon;
    HICON smallIcon;
    HCURSOR cursor;
};

// Asked for once: each request of a shared icon or cursor looks it up in the system's cache again,
// 0.4 ms for a class under Wine, and four classes are registered before the tray icon.
const ClassLook& TheClassLook(HINSTANCE instance) {
    static const ClassLook look = {ApplicationIcon(instance, SM_CXICON, SM_CYICON),
                                   ApplicationIcon(instance, SM_CXSMICON, SM_CYSMICON),
                                   ::LoadCursorA(nullptr, IDC_ARROW)};
    return look;
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
    const ClassLook& look = TheClassLook(instance);
    wc.hIcon = look.icon;
    wc.hIconSm = look.smallIcon;
    wc.hCursor = look.cursor;
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
