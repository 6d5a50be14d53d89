#pragma once
// Fonts of the client's windows, given like the designer gives them: a face and a point size.

#include "components/win_handles.h"

UniqueGdiObject CreatePointFont(const char* face, int points);
