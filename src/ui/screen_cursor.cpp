#include "ui/screen_cursor.h"

#include <windows.h>

namespace {

ScreenCursor current = ScreenCursor::Default;

}  // namespace

void SetScreenCursor(ScreenCursor cursor) {
    current = cursor;
    ::SetCursor(::LoadCursorA(nullptr, cursor == ScreenCursor::HandPoint ? IDC_HAND : IDC_ARROW));
}

ScreenCursor CurrentScreenCursor() {
    return current;
}

bool ApplyScreenCursor() {
    if (current == ScreenCursor::Default) {
        return false;
    }
    ::SetCursor(::LoadCursorA(nullptr, IDC_HAND));
    return true;
}
