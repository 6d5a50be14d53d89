#include "components/mouse_label.h"

#include "ui/win_handles.h"

void TMouseLabel::SetFont(const TFont& font) {
    font_ = &font;
    AdjustBounds();
}

void TMouseLabel::SetCaption(const std::string& caption) {
    caption_ = caption;
    AdjustBounds();
}

void TMouseLabel::SetWordWrap(bool wordWrap) {
    wordWrap_ = wordWrap;
    AdjustBounds();
}

void TMouseLabel::SetLeft(int left) {
    ::OffsetRect(&bounds_, left - bounds_.left, 0);
}

void TMouseLabel::SetTop(int top) {
    ::OffsetRect(&bounds_, 0, top - bounds_.top);
}

void TMouseLabel::SetWidth(int width) {
    wrapWidth_ = width;
    bounds_.right = bounds_.left + width;
    AdjustBounds();
}

void TMouseLabel::Paint(HDC dc) const {
    if (!font_) {
        return;
    }
    const SelectedObject selected(dc, font_->Handle());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ColorToRGB(font_->Color()));
    RECT area = TextArea();
    ::DrawTextA(dc, caption_.c_str(), -1, &area, TextFormat());
}

RECT TMouseLabel::TextArea() const {
    RECT area = bounds_;
    const int spare = wordWrap_ ? wrapWidth_ - Width() : 0;
    if (spare <= 0) {
        return area;
    }
    // The platform may wrap a line measured to fit exactly once more when drawing it in that
    // width, and a clipped last line would be lost.
    switch (alignment_) {
        case taLeftJustify:
            area.right += spare;
            break;
        case taRightJustify:
            area.left -= spare;
            break;
        case taCenter:
            area.left -= spare / 2;
            area.right += spare - spare / 2;
            break;
    }
    return area;
}

void TMouseLabel::MouseEntered() {
    if (OnMouseEnter) {
        OnMouseEnter();
    }
}

void TMouseLabel::MouseLeft() {
    if (OnMouseLeave) {
        OnMouseLeave();
    }
}

UINT TMouseLabel::TextFormat() const {
    UINT format = DT_EXPANDTABS | DT_NOPREFIX | (wordWrap_ ? DT_WORDBREAK : 0);
    switch (alignment_) {
        case taLeftJustify:
            return format | DT_LEFT;
        case taRightJustify:
            return format | DT_RIGHT;
        case taCenter:
            return format | DT_CENTER;
    }
    return format;
}

void TMouseLabel::AdjustBounds() {
    if (!font_) {
        return;
    }
    const UniqueDc dc(::CreateCompatibleDC(nullptr));
    const SelectedObject selected(dc.get(), font_->Handle());
    RECT text = {0, 0, wordWrap_ ? wrapWidth_ : Width(), Height()};
    // An empty caption still takes the height of a line.
    const std::string measured = caption_.empty() ? " " : caption_;
    ::DrawTextA(dc.get(), measured.c_str(), -1, &text, TextFormat() | DT_CALCRECT);
    int left = bounds_.left;
    if (alignment_ == taRightJustify) {
        left += Width() - text.right;
    }
    bounds_ = {left, bounds_.top, left + text.right, bounds_.top + text.bottom};
}
