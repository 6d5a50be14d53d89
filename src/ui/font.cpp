#include "ui/font.h"

COLORREF ColorToRGB(TColor color) {
    if ((color & 0xFF000000) != 0) {
        return ::GetSysColor(static_cast<int>(color & 0xFF));
    }
    return color;
}

TFont::TFont(const TFont& other)
    : name_(other.name_), height_(other.height_), style_(other.style_), color_(other.color_) {}

TFont& TFont::operator=(const TFont& other) {
    if (this != &other) {
        name_ = other.name_;
        height_ = other.height_;
        style_ = other.style_;
        color_ = other.color_;
        handle_.reset();
    }
    return *this;
}

void TFont::SetName(const std::string& name) {
    name_ = name;
    handle_.reset();
}

void TFont::SetHeight(int32_t height) {
    height_ = height;
    handle_.reset();
}

void TFont::SetStyle(TFontStyles style) {
    style_ = style;
    handle_.reset();
}

HFONT TFont::Handle() const {
    if (!handle_) {
        handle_.reset(::CreateFontA(height_, 0, 0, 0, (style_ & fsBold) ? FW_BOLD : FW_NORMAL,
                                    (style_ & fsItalic) != 0, (style_ & fsUnderline) != 0,
                                    (style_ & fsStrikeOut) != 0, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH, name_.c_str()));
    }
    return static_cast<HFONT>(handle_.get());
}
