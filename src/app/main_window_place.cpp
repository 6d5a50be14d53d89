#include "app/main_window_place.h"

WindowCorner MainWindowPlace(int storedLeft, int storedTop, WindowCorner current,
                             const std::function<bool(WindowCorner)>& onAMonitor) {
    const WindowCorner stored = {storedLeft > 0 ? storedLeft : current.left,
                                 storedTop > 0 ? storedTop : current.top};
    return onAMonitor(stored) ? stored : current;
}
