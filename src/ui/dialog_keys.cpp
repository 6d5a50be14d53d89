#include "ui/dialog_keys.h"

#include <algorithm>
#include <vector>

#include "ui/window.h"

namespace {

// A button that a click presses, as opposed to a check box or an option.
bool IsPushButton(HWND window) {
    char className[16] = "";
    ::GetClassNameA(window, className, sizeof(className));
    if (lstrcmpiA(className, "Button") != 0) {
        return false;
    }
    const LONG type = ::GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW;
}

BOOL CALLBACK CollectTabStop(HWND child, LPARAM found) {
    if ((::GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP) != 0 && ::IsWindowVisible(child) &&
        ::IsWindowEnabled(child)) {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(child);
    }
    return TRUE;
}

}  // namespace

bool MoveFocusByTab(HWND form, bool backwards) {
    std::vector<HWND> stops;
    ::EnumChildWindows(form, &CollectTabStop, reinterpret_cast<LPARAM>(&stops));
    if (stops.empty()) {
        return false;
    }
    // Every control's id is its place in the order of making.
    std::stable_sort(stops.begin(), stops.end(),
                     [](HWND a, HWND b) { return ::GetDlgCtrlID(a) < ::GetDlgCtrlID(b); });
    // The focus may lie inside a control (the edit of a list): the stop that holds it counts. A
    // stop may hold other stops too (the page control its pages' controls): the focused one first.
    const HWND focused = ::GetFocus();
    auto current = std::find(stops.begin(), stops.end(), focused);
    if (current == stops.end()) {
        current = std::find_if(stops.begin(), stops.end(),
                               [focused](HWND stop) { return ::IsChild(stop, focused) != FALSE; });
    }
    const int count = static_cast<int>(stops.size());
    int next = backwards ? count - 1 : 0;
    if (current != stops.end()) {
        const int at = static_cast<int>(current - stops.begin());
        next = ((backwards ? at - 1 : at + 1) + count) % count;
    }
    const HWND target = stops[static_cast<size_t>(next)];
    ::SetFocus(target);
    // An edit reached by Tab has its text selected, as in a dialog box.
    if ((::SendMessageA(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0) {
        ::SendMessageA(target, EM_SETSEL, 0, -1);
    }
    return true;
}

bool PressFocusedControl(HWND form) {
    const HWND focused = ::GetFocus();
    if (!focused || !::IsChild(form, focused)) {
        return false;
    }
    if (IsPushButton(focused)) {
        ::SendMessageA(focused, BM_CLICK, 0, 0);
        return true;
    }
    const Window* control = Window::FromHandle(focused);
    if (control && control->Accessible().press) {
        // A copy: the press may change the control.
        const auto press = control->Accessible().press;
        press();
        return true;
    }
    return false;
}
