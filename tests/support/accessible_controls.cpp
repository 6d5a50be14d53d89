#include "support/accessible_controls.h"

#include <oleacc.h>

#include <algorithm>
#include <utility>

#include "ui/win_handles.h"

namespace {

ComPtr<IAccessible> ClientObject(HWND window) {
    ComPtr<IAccessible> object;
    ::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                 reinterpret_cast<void**>(object.put()));
    return object;
}

VARIANT Self() {
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

std::string Narrow(const BSTR text) {
    if (!text) {
        return {};
    }
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(length > 0 ? length - 1 : 0, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

BOOL CALLBACK CollectVisible(HWND child, LPARAM lParam) {
    if (::IsWindowVisible(child)) {
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(child);
    }
    return TRUE;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const AccessibleControl& control) {
    wchar_t role[64] = L"";
    ::GetRoleTextW(static_cast<DWORD>(control.role), role, 64);
    BSTR text = ::SysAllocString(role);
    out << "{" << Narrow(text) << " (" << control.role << "), \"" << control.name << "\"}";
    ::SysFreeString(text);
    return out;
}

AccessibleControl AccessibleWindow(HWND window) {
    AccessibleControl control;
    control.window = window;
    const ComPtr<IAccessible> object = ClientObject(window);
    if (!object) {
        return control;
    }
    VARIANT role;
    ::VariantInit(&role);
    if (SUCCEEDED(object->get_accRole(Self(), &role)) && role.vt == VT_I4) {
        control.role = role.lVal;
    }
    BSTR name = nullptr;
    if (SUCCEEDED(object->get_accName(Self(), &name))) {
        control.name = Narrow(name);
        ::SysFreeString(name);
    }
    return control;
}

std::vector<AccessibleControl> AccessibleControlsOf(HWND window) {
    std::vector<HWND> children;
    ::EnumChildWindows(window, &CollectVisible, reinterpret_cast<LPARAM>(&children));
    std::vector<AccessibleControl> controls;
    for (HWND child : children) {
        controls.push_back(AccessibleWindow(child));
    }
    // Own controls stack in the opposite order to the system's: the order says nothing.
    return Sorted(std::move(controls));
}

std::vector<AccessibleControl> Sorted(std::vector<AccessibleControl> controls) {
    std::sort(controls.begin(), controls.end(), [](const auto& a, const auto& b) {
        return a.role != b.role ? a.role < b.role : a.name < b.name;
    });
    return controls;
}

bool PressAccessible(HWND window) {
    const ComPtr<IAccessible> object = ClientObject(window);
    return object && SUCCEEDED(object->accDoDefaultAction(Self()));
}
