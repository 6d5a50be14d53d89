#pragma once
// A label drawn by the window it lies on, like the class library's windowless labels: a caption
// in a font, optionally wrapped at its width, aligned in its bounds and always sized to its text,
// on a transparent ground. The window tells it when the mouse enters or leaves it, which it
// reports as events.

#include <windows.h>

#include <functional>
#include <string>

#include "ui/font.h"

enum TAlignment : int32_t {
    taLeftJustify = 0,
    taRightJustify = 1,
    taCenter = 2,
};

class TMouseLabel {
  public:
    // The font is shared, not copied; it must outlive the label or be replaced first.
    void SetFont(const TFont& font);
    const TFont* Font() const { return font_; }
    void SetCaption(const std::string& caption);
    void SetAlignment(TAlignment alignment) { alignment_ = alignment; }
    // Wrapped text keeps the width it is given to wrap at (and is drawn wrapped at it), while
    // its bounds shrink to its longest line.
    void SetWordWrap(bool wordWrap);

    // In the window's client coordinates.
    const RECT& Bounds() const { return bounds_; }
    void SetLeft(int left);
    void SetTop(int top);
    void SetWidth(int width);
    int Width() const { return bounds_.right - bounds_.left; }
    int Height() const { return bounds_.bottom - bounds_.top; }
    bool Contains(POINT point) const { return ::PtInRect(&bounds_, point) != FALSE; }

    void Paint(HDC dc) const;

    // Raised by MouseEntered and MouseLeft, which the window calls.
    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseLeave;
    void MouseEntered();
    void MouseLeft();

  private:
    UINT TextFormat() const;
    // Sizes the label to its text as wrapped at the width it was given.
    void AdjustBounds();
    // Where the text is drawn: the bounds widened to the wrap width, by the alignment, so that
    // drawing wraps the lines where measuring did.
    RECT TextArea() const;

    const TFont* font_ = nullptr;
    std::string caption_;
    TAlignment alignment_ = taLeftJustify;
    bool wordWrap_ = false;
    RECT bounds_ = {0, 0, 0, 0};
    int wrapWidth_ = 0;
};
