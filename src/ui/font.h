#pragma once
// Colours and fonts as a form designer gives them: a colour is an RGB value or one of the
// system's colours by its index, and a font is a description whose system font is made when it is
// first drawn with. Every font of the client is made by CreateFontOf.

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/win_handles.h"

// 0x00BBGGRR, or 0xFF0000nn for the system colour with index nn (COLOR_WINDOWTEXT, ...).
using TColor = uint32_t;
inline constexpr TColor clWindowText = 0xFF000000 | COLOR_WINDOWTEXT;

// The RGB value of a colour, system colours as they are now.
COLORREF ColorToRGB(TColor color);

// One bit each, in the class library's order.
enum TFontStyle : uint8_t {
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
    fsStrikeOut = 8,
};
using TFontStyles = uint8_t;

// A new system font of the face, the character height (negative: in pixels, as the designer
// stores 8 point at 96 dpi) and the style.
UniqueGdiObject CreateFontOf(const std::string& face, int32_t height, TFontStyles style);
// The same at a point size, for a screen of that DPI.
UniqueGdiObject CreatePointFont(const std::string& face, int points, TFontStyles style, int dpi);

class TFont {
  public:
    // The class library's default font: "MS Sans Serif" 8 point (height -11) in the window text
    // colour.
    TFont() = default;
    // Copies are descriptions: each makes its own system font.
    TFont(const TFont& other);
    TFont& operator=(const TFont& other);

    void SetStyle(TFontStyles style);
    // The same font for a screen of that DPI: its pixel height, given for 96 dpi, scaled.
    void ScaleFor(int dpi);
    TColor Color() const { return color_; }
    void SetColor(TColor color) { color_ = color; }

    // The system font, made on first use and again after a change.
    HFONT Handle() const;

  private:
    std::string name_ = "MS Sans Serif";
    int32_t height_ = -11;
    TFontStyles style_ = 0;
    TColor color_ = clWindowText;
    mutable UniqueGdiObject handle_;
};
