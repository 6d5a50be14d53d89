#pragma once
// Moving a borderless window by its background.

#include "ui/control.h"
#include "ui/window.h"

// Moves the window with the mouse, by the left button only, and stores where it ends as the main
// window's position.
void BeginWindowDrag(Window& window, MouseButton button);
