#include "ui/font.h"

#include "ui/dpi.h"

COLORREF ColorToRGB(TColor color) {
    if ((color & 0xFF000000) != 0) {
        return ::GetSysColor(static_cast<int>(color & 0xFF));
    }
    return color;
}

UniqueGdiObject CreateFontOf(const std::string& face, int32_t height, TFontStyles style) {
    // The texts drawn are in the system's ANSI code page, which the default character set
    // follows; where the face is missing, a sans-serif face stands in.
    return UniqueGdiObject(::CreateFontA(
        height, 0, 0, 0, (style & fsBold) ? FW_BOLD : FW_NORMAL, (style & fsItalic) != 0,
        (style & fsUnderline) != 0, (style & fsStrikeOut) != 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face.c_str()));
}

UniqueGdiObject CreatePointFont(const std::string& face, int points, TFontStyles style, int dpi) {
    const int height = -::MulDiv(points, dpi, 72);
    return CreateFontOf(face, height, style);
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

void TFont::ScaleFor(int dpi) {
    height_ = Scaled(height_, dpi);
    handle_.reset();
}

void TFont::SetStyle(TFontStyles style) {
    style_ = style;
    handle_.reset();
}

HFONT TFont::Handle() const {
    if (!handle_) {
        handle_ = CreateFontOf(name_, height_, style_);
    }
    return static_cast<HFONT>(handle_.get());
}
