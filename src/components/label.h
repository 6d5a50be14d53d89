#pragma once
// A line of static text in a given font and colour on a transparent ground, sized to its text.

#include <windows.h>

#include <string>

#include "components/control.h"

class Label : public Control {
  public:
    // The font stays the caller's and must outlive the label.
    void Create(HWND parent, int left, int top, const std::string& caption, HFONT font,
                COLORREF color);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

  protected:
    void PaintContent(HDC dc) override;

  private:
    void FitToText();

    std::string caption_;
    HFONT font_ = nullptr;
    COLORREF color_ = 0;
};
