#pragma once
// The style names that the windows under app/ and signin/ still spell; fonts are made by
// ui/font.h, whose style bits these are.

#include "ui/font.h"

inline constexpr TFontStyles kFontBold = fsBold;
inline constexpr TFontStyles kFontUnderline = fsUnderline;
