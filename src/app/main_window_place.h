#pragma once
// Where the main window shows: at the place stored when a window was last dragged, unless no
// monitor shows that place any more.

#include <functional>

struct WindowCorner {
    int left;
    int top;
};

// The top-left corner for the main window that now stands at current: the stored left and top
// where each is above zero (0 and below mean none is stored). A place where the window would lie
// on no monitor, as when the one it was dragged to has been unplugged since, is not taken: the
// window stays where it stands.
WindowCorner MainWindowPlace(int storedLeft, int storedTop, WindowCorner current,
                             const std::function<bool(WindowCorner)>& onAMonitor);
