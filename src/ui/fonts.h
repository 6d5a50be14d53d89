#pragma once
// Fonts of the client's windows, given like the designer gives them: a face, a point size and a
// style.

#include "ui/win_handles.h"

enum FontStyle { kFontRegular = 0, kFontBold = 1, kFontUnderline = 2 };

UniqueGdiObject CreatePointFont(const char* face, int points, int style = kFontRegular);
