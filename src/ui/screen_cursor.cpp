#include "ui/screen_cursor.h"

#include <windows.h>

#include "ui/ui_context.h"

void SetScreenCursor(ScreenCursor cursor) {
    TheUi().screenCursor = cursor;
    ::SetCursor(::LoadCursorA(nullptr, cursor == ScreenCursor::HandPoint ? IDC_HAND : IDC_ARROW));
}

ScreenCursor CurrentScreenCursor() {
    return TheUi().screenCursor;
}

bool ApplyScreenCursor() {
    if (TheUi().screenCursor == ScreenCursor::Default) {
        return false;
    }
    ::SetCursor(::LoadCursorA(nullptr, IDC_HAND));
    return true;
}
