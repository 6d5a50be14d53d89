#include "components/label.h"

#include "components/win_handles.h"

namespace {

// Captions show as written: an "&" is a character, not a mnemonic mark.
constexpr UINT kTextFormat = DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS;

}  // namespace

void Label::Create(HWND parent, int left, int top, const std::string& caption, HFONT font,
                   COLORREF color) {
    caption_ = caption;
    font_ = font;
    color_ = color;
    CreateControl("TLabel", parent, left, top, 0, 0);
    FitToText();
}

void Label::SetCaption(const std::string& caption) {
    caption_ = caption;
    FitToText();
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void Label::PaintContent(HDC dc) {
    const SelectedObject selected(dc, font_);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, color_);
    RECT client;
    ::GetClientRect(hwnd(), &client);
    ::DrawTextA(dc, caption_.c_str(), -1, &client, kTextFormat);
}

void Label::FitToText() {
    HDC dc = ::GetDC(hwnd());
    RECT text = {0, 0, 0, 0};
    {
        const SelectedObject selected(dc, font_);
        ::DrawTextA(dc, caption_.c_str(), -1, &text, kTextFormat | DT_CALCRECT);
    }
    ::ReleaseDC(hwnd(), dc);
    const RECT bounds = Bounds();
    SetBounds(bounds.left, bounds.top, text.right, text.bottom);
}
