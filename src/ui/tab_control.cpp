#include "ui/tab_control.h"

#include <commctrl.h>

void TabPage::Create(HWND tabControl, const RECT& displayArea, const std::string& caption) {
    caption_ = caption;
    CreateForm(
        FormDescription("TTabSheet").Style(WS_CHILD | WS_CLIPSIBLINGS).ExStyle(WS_EX_CONTROLPARENT),
        tabControl);
    // The display area is the tab control's own measure, in its pixels.
    ::SetWindowPos(hwnd(), nullptr, displayArea.left, displayArea.top,
                   displayArea.right - displayArea.left, displayArea.bottom - displayArea.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    SetAccessible(AccessiblePage(caption));
}

void TabControl::Create(HWND parent, int left, int top, int width, int height, bool ownerDraw) {
    // A container for the dialog keys: Tab goes on into the active page's controls.
    // A tab stop: the arrow keys switch the pages once it has the focus.
    CreateControl(
        WC_TABCONTROLA, parent,
        WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (ownerDraw ? TCS_OWNERDRAWFIXED : 0), left,
        top, width, height, "", WS_EX_CONTROLPARENT);
    SetAccessible(AccessiblePageTabs("Pages"));
}

TabPage& TabControl::AddPage(const std::string& caption) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(caption.c_str());
    ::SendMessageA(hwnd(), TCM_INSERTITEMA, pages_.size(), reinterpret_cast<LPARAM>(&item));
    RECT area;
    ::GetClientRect(hwnd(), &area);
    ::SendMessageA(hwnd(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    pages_.push_back(std::make_unique<TabPage>());
    pages_.back()->Create(hwnd(), area, caption);
    ShowActivePage();
    return *pages_.back();
}

int TabControl::ActivePageIndex() const {
    return static_cast<int>(::SendMessageA(hwnd(), TCM_GETCURSEL, 0, 0));
}

void TabControl::SetActivePageIndex(int index) {
    ::SendMessageA(hwnd(), TCM_SETCURSEL, index, 0);
    ShowActivePage();
}

void TabControl::SelectNextPage(int step) {
    if (PageCount() == 0) {
        return;
    }
    SetActivePageIndex(((ActivePageIndex() + step) % PageCount() + PageCount()) % PageCount());
    if (OnChange) {
        OnChange();
    }
}

void TabControl::ShowActivePage() {
    const int active = ActivePageIndex();
    for (int i = 0; i < PageCount(); ++i) {
        ::ShowWindow(pages_[i]->hwnd(), i == active ? SW_SHOWNA : SW_HIDE);
    }
}

bool TabControl::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == TCN_SELCHANGE) {
        ShowActivePage();
        if (OnChange) {
            OnChange();
        }
        result = 0;
        return true;
    }
    if (message == WM_DRAWITEM && OnDrawTab) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        OnDrawTab(static_cast<int>(item->itemID), item->rcItem, item->hDC);
        result = TRUE;
        return true;
    }
    return NativeControl::Reflect(message, wParam, lParam, result);
}
