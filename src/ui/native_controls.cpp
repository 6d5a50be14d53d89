#include "ui/native_controls.h"

#include <vector>

namespace {

// A WM_COMMAND about the control with the given notification code raises the event.
bool RaiseOn(WORD code, const std::function<void()>& event, UINT message, WPARAM wParam,
             LRESULT& result) {
    if (message != WM_COMMAND || HIWORD(wParam) != code) {
        return false;
    }
    if (event) {
        event();
    }
    result = 0;
    return true;
}

}  // namespace

void Edit::Create(HWND parent, int left, int top, int width, int height, bool password) {
    CreateControl("EDIT", parent,
                  WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | (password ? ES_PASSWORD : 0), left, top,
                  width, height);
    if (password) {
        ::SendMessageA(hwnd(), EM_SETPASSWORDCHAR, '*', 0);
    }
    SetAccessible(AccessibleEdit(""));
}

bool Edit::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return RaiseOn(EN_CHANGE, OnChange, message, wParam, result) ||
           NativeControl::Reflect(message, wParam, lParam, result);
}

void PushButton::Create(HWND parent, int left, int top, int width, int height,
                        const std::string& caption) {
    CreateButton(parent, BS_PUSHBUTTON, left, top, width, height, caption);
}

void PushButton::CreateButton(HWND parent, DWORD style, int left, int top, int width, int height,
                              const std::string& caption) {
    CreateControl("BUTTON", parent, WS_TABSTOP | style, left, top, width, height, caption);
    SetAccessible(
        AccessiblePushButton(caption, [this] { ::SendMessageA(hwnd(), BM_CLICK, 0, 0); }));
}

bool PushButton::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return RaiseOn(BN_CLICKED, OnClick, message, wParam, result) ||
           NativeControl::Reflect(message, wParam, lParam, result);
}

void CheckBox::Create(HWND parent, int left, int top, int width, int height,
                      const std::string& caption, bool wrap) {
    CreateControl("BUTTON", parent,
                  WS_TABSTOP | BS_AUTOCHECKBOX | BS_TOP | (wrap ? BS_MULTILINE : 0), left, top,
                  width, height, caption);
    SetAccessible(AccessibleCheckBox(caption));
}

bool CheckBox::Checked() const {
    return ::SendMessageA(hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::SetChecked(bool checked) {
    if (checked == Checked()) {
        return;
    }
    ::SendMessageA(hwnd(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (OnClick) {
        OnClick();
    }
}

bool CheckBox::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return RaiseOn(BN_CLICKED, OnClick, message, wParam, result) ||
           NativeControl::Reflect(message, wParam, lParam, result);
}

void DropDownList::Create(HWND parent, int left, int top, int width, int visibleItems) {
    // The height of a combo box is that of the control with its list open.
    CreateControl("COMBOBOX", parent, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, left, top, width,
                  24 + 16 * visibleItems);
    SetAccessible(AccessibleList(""));
}

void DropDownList::AddItem(const std::string& text) {
    ::SendMessageA(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int DropDownList::Count() const {
    return static_cast<int>(::SendMessageA(hwnd(), CB_GETCOUNT, 0, 0));
}

std::string DropDownList::ItemText(int index) const {
    const LRESULT length = ::SendMessageA(hwnd(), CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) {
        return "";
    }
    std::vector<char> text(length + 1);
    ::SendMessageA(hwnd(), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

int DropDownList::ItemIndex() const {
    return static_cast<int>(::SendMessageA(hwnd(), CB_GETCURSEL, 0, 0));
}

void DropDownList::SetItemIndex(int index) {
    ::SendMessageA(hwnd(), CB_SETCURSEL, index, 0);
}

bool DropDownList::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return RaiseOn(CBN_SELCHANGE, OnChange, message, wParam, result) ||
           NativeControl::Reflect(message, wParam, lParam, result);
}

LRESULT DropDownList::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // The open list asks the combo box for its colours, which would pass the question on to the
    // parent about a window the parent does not know.
    LRESULT result = 0;
    if (message == WM_CTLCOLORLISTBOX && NativeControl::Reflect(message, wParam, lParam, result)) {
        return result;
    }
    return NativeControl::HandleMessage(message, wParam, lParam);
}
