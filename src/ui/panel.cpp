#include "ui/panel.h"

void Panel::Create(HWND parent, int left, int top, int width, int height) {
    CreateControl("TPanel", parent, left, top, width, height, WS_CLIPCHILDREN);
}
