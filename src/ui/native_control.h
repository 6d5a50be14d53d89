#pragma once
// The base of the thin wrappers around the system's own controls (edit, buttons, check box,
// drop-down list, tab control). The control is subclassed, so it sees its own messages, and its
// parent reflects the notifications about it back to it (Window::Dispatch), so that the control
// raises its own events and a form only wires them.

#include <windows.h>

#include <string>

#include "ui/win_handles.h"

class NativeControl {
  public:
    NativeControl() = default;
    NativeControl(const NativeControl&) = delete;
    NativeControl& operator=(const NativeControl&) = delete;
    virtual ~NativeControl();

    // The object of a control made by this class, or null for any other window.
    static NativeControl* FromHandle(HWND hwnd);

    HWND hwnd() const { return hwnd_; }
    int Id() const { return id_; }
    // In the parent's client coordinates.
    RECT Bounds() const;
    bool IsEnabled() const { return ::IsWindowEnabled(hwnd_) != FALSE; }
    void SetEnabled(bool enabled) { ::EnableWindow(hwnd_, enabled); }
    bool IsVisible() const { return ::IsWindowVisible(hwnd_) != FALSE; }
    void SetVisible(bool visible) { ::ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE); }
    std::string Text() const;
    void SetText(const std::string& text);
    void SetFocus() { ::SetFocus(hwnd_); }
    bool HasFocus() const { return ::GetFocus() == hwnd_; }
    // The font stays the caller's and must outlive the control.
    void SetFont(HFONT font);
    // Text and ground colours, answered to the parent's WM_CTLCOLOR* question about this control.
    void SetColors(COLORREF text, COLORREF background);

    // A notification about this control, reflected by its parent. True when handled.
    virtual bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  protected:
    // Creates the control as a visible child of parent, after (below) its earlier siblings, so
    // that creation order is the tab order.
    void CreateControl(const char* className, HWND parent, DWORD style, int left, int top,
                       int width, int height, const std::string& text = "", DWORD exStyle = 0);

    // The control's own messages; the default is the system's handling.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    void Detach();

    HWND hwnd_ = nullptr;
    int id_ = 0;
    COLORREF textColor_ = CLR_INVALID;
    COLORREF background_ = CLR_INVALID;
    UniqueGdiObject backgroundBrush_;
};
