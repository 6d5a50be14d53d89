#include "components/notify_popup_owner.h"

#include <windows.h>
#include <shellapi.h>

TTaskbarEdge ReadTaskbarEdge() {
    APPBARDATA taskbar = {};
    taskbar.cbSize = sizeof(taskbar);
    if (::SHAppBarMessage(ABM_GETTASKBARPOS, &taskbar) == 0) {
        return TaskbarEdgeOf(std::nullopt);
    }
    const RECT& r = taskbar.rc;
    return TaskbarEdgeOf(ScreenRect{r.left, r.top, r.right, r.bottom});
}

ScreenRect ReadWorkArea() {
    RECT area = {0, 0, 0, 0};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return {area.left, area.top, area.right, area.bottom};
}

TFont NotifyPopupOwner::WithStyle(TFontStyles style, TColor color) {
    TFont font;
    font.SetStyle(style);
    font.SetColor(color);
    return font;
}
