#pragma once
// Static text in a given font and colour on a transparent ground: one line sized to its text, or
// text wrapped in a fixed box. A disabled label shows its text greyed.

#include <windows.h>

#include <functional>
#include <string>

#include "ui/control.h"
#include "ui/win_handles.h"

class Label : public Control {
  public:
    // The font stays the caller's and must outlive the label.
    void Create(HWND parent, int left, int top, const std::string& caption, HFONT font,
                COLORREF color);
    // Wraps the caption at word boundaries inside width x height.
    void CreateWrapped(HWND parent, int left, int top, int width, int height,
                       const std::string& caption, HFONT font, COLORREF color);

    // A link: a click runs it, and a screen reader hears a link by the caption.
    void SetLink(std::function<void()> click);

    bool IsEnabled() const { return ::IsWindowEnabled(hwnd()) != FALSE; }
    void SetEnabled(bool enabled);

  protected:
    void PaintContent(HDC dc) override;
    // A copy of its font at the new DPI, and its size fitted again.
    void DpiChanged(int oldDpi, int newDpi) override;

  private:
    UINT Format() const;
    void FitToText();

    std::string caption_;
    HFONT font_ = nullptr;
    UniqueGdiObject rescaledFont_;
    COLORREF color_ = 0;
    bool wrap_ = false;
};
