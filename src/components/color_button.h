#pragma once
// TButtonWithColor: a push button that paints its own face in a colour of its own instead of the
// system's button colour, with the pressed, focused, default and disabled looks of a push button.

#include "ui/native_controls.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TButtonWithColor : public PushButton {
  public:
    void Create(HWND parent, int left, int top, int width, int height, const std::string& caption);

    COLORREF Color() const { return color_; }
    void SetColor(COLORREF color);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    int Margin() const { return margin_; }
    // -1 centres the caption; values below -1 are refused and the margin stays.
    void SetMargin(int margin);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    bool ShowsActive() const { return showsActive_; }
    // The form's default button is drawn active while the focus is on a control that is no button.
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    // Set as the owning form's modal result when clicked (0: none).
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }

    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Repaint();
    void DrawFace(const DRAWITEMSTRUCT& item);
    void DrawCaption(HDC dc, const RECT& area) const;
    // The focus moved to newFocus: every colour button of this parent decides its active look.
    void FocusMoved(HWND newFocus);
    void UpdateShowsActive(HWND newFocus);

    COLORREF color_ = ::GetSysColor(COLOR_BTNFACE);
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    bool showsActive_ = false;
    bool default_ = false;
    int modalResult_ = 0;
};
