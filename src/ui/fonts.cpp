#include "ui/fonts.h"

UniqueGdiObject CreatePointFont(const char* face, int points, int style) {
    HDC screen = ::GetDC(nullptr);
    const int height = -::MulDiv(points, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, screen);
    return UniqueGdiObject(::CreateFontA(height, 0, 0, 0, (style & kFontBold) ? FW_BOLD : FW_NORMAL,
                                         FALSE, (style & kFontUnderline) ? TRUE : FALSE, FALSE,
                                         ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                         DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face));
}
