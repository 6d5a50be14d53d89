#pragma once
// TButtonWithColor: a push button that paints its own face in a colour of its own instead of the
// system's button colour, with the pressed, focused, default and disabled looks of a push button.

#include "ui/native_controls.h"

class TButtonWithColor : public PushButton {
  public:
    void Create(HWND parent, int left, int top, int width, int height, const std::string& caption);

    COLORREF Color() const { return color_; }
    void SetColor(COLORREF color);
    int Margin() const { return margin_; }
    // -1 centres the caption; values below -1 are refused and the margin stays.
    void SetMargin(int margin);
    bool ShowsActive() const { return showsActive_; }
    // The form's default button is drawn active while the focus is on a control that is no button.
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);

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
    int margin_ = -1;
    bool showsActive_ = false;
    bool default_ = false;
};
