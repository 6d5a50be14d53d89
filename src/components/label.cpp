#include "components/label.h"

#include "ui/dpi.h"
#include "ui/win_handles.h"

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
    SetAccessible(AccessibleText(caption));
    FitToText();
}

void Label::CreateWrapped(HWND parent, int left, int top, int width, int height,
                          const std::string& caption, HFONT font, COLORREF color) {
    caption_ = caption;
    font_ = font;
    color_ = color;
    wrap_ = true;
    CreateControl("TLabel", parent, left, top, width, height);
    SetAccessible(AccessibleText(caption));
}

void Label::SetLink(std::function<void()> click) {
    OnClick = std::move(click);
    SetTabStop();
    SetAccessible(AccessibleLink(caption_, [this] { OnClick(); }));
}

void Label::SetEnabled(bool enabled) {
    ::EnableWindow(hwnd(), enabled);
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

UINT Label::Format() const {
    return kTextFormat | (wrap_ ? DT_WORDBREAK : 0);
}

void Label::PaintContent(HDC dc) {
    const SelectedObject selected(dc, font_);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, IsEnabled() ? color_ : ::GetSysColor(COLOR_GRAYTEXT));
    RECT client;
    ::GetClientRect(hwnd(), &client);
    ::DrawTextA(dc, caption_.c_str(), -1, &client, Format());
}

void Label::DpiChanged(int oldDpi, int newDpi) {
    if (HFONT rescaled = RescaledFont(font_, oldDpi, newDpi)) {
        font_ = rescaled;
        rescaledFont_.reset(rescaled);
    }
    if (!wrap_) {
        FitToText();
    }
    ::InvalidateRect(hwnd(), nullptr, FALSE);
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
