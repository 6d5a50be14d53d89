#pragma once
// The base of the thin wrappers around the system's own controls (edit, buttons, check box,
// drop-down list, tab control): a window of the client's whose window is made by a system class
// and subclassed, so it sees its own messages, and whose parent reflects the notifications about
// it back to it, so that the control raises its own events and a form only wires them.

#include <windows.h>

#include <string>

#include "ui/win_handles.h"
#include "ui/window.h"

class NativeControl : public Window {
  public:
    bool IsEnabled() const { return ::IsWindowEnabled(hwnd()) != FALSE; }
    void SetEnabled(bool enabled) { ::EnableWindow(hwnd(), enabled); }
    void SetVisible(bool visible) { ::ShowWindow(hwnd(), visible ? SW_SHOWNA : SW_HIDE); }
    // A top-level window's Show would also bring it to the foreground; a control uses SetVisible.
    void Show() = delete;
    std::string Text() const;
    void SetText(const std::string& text);
    void SetFocus() { ::SetFocus(hwnd()); }
    // The font stays the caller's and must outlive the control.
    void SetFont(HFONT font);
    // Text and ground colours, answered to the parent's WM_CTLCOLOR* question about this control.
    void SetColors(COLORREF text, COLORREF background);

    // Takes its font again at the new DPI, as a copy of its own.
    void DpiChanged(int oldDpi, int newDpi) override;

    // Answers the parent's WM_CTLCOLOR* question with the colours set.
    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  protected:
    // The text colour set, or CLR_INVALID for the system's.
    COLORREF TextColor() const { return textColor_; }
    // Creates the control as a visible child of parent, after (below) its earlier siblings, so
    // that creation order is the tab order.
    void CreateControl(const char* className, HWND parent, DWORD style, int left, int top,
                       int width, int height, const std::string& text = "", DWORD exStyle = 0);

    // The control's own messages; the default is the system's handling.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    COLORREF textColor_ = CLR_INVALID;
    COLORREF background_ = CLR_INVALID;
    UniqueGdiObject backgroundBrush_;
    // The font at a DPI the control was moved to.
    UniqueGdiObject rescaledFont_;
};
