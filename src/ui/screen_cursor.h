#pragma once
// The application's screen-wide cursor: links set the hand pointer, and it stays on every window
// of the client until a window's background sets the arrow back, as the user saw it when
// leaving a link.

#include "ui/ui_context.h"

void SetScreenCursor(ScreenCursor cursor);
ScreenCursor CurrentScreenCursor();

// For WM_SETCURSOR: shows the screen-wide cursor unless it is the default; true when it did.
bool ApplyScreenCursor();
