#include "components/window_drag.h"

#include "settings/settings_record.h"

namespace {

constexpr WPARAM kMoveByCaption = 0xF012;  // SC_MOVE + 2

}  // namespace

void BeginWindowDrag(Window& window, MouseButton button) {
    if (button != MouseButton::Left) {
        return;
    }
    ::ReleaseCapture();
    ::SendMessageA(window.hwnd(), WM_SYSCOMMAND, kMoveByCaption, 0);
    ::InvalidateRect(window.hwnd(), nullptr, TRUE);
    RECT bounds;
    ::GetWindowRect(window.hwnd(), &bounds);
    recSETTINGS.mainleft = bounds.left;
    recSETTINGS.maintop = bounds.top;
}
