#pragma once
// The scale of the client's windows. Every position and size of the designed windows is in pixels
// at 96 dots per inch; the window layer scales it by the DPI of the monitor the window stands on,
// and no window scales by hand. The DPI functions of Windows 8.1 and 10 are looked up when first
// needed, never imported, so that the client still starts on Windows 7, where the DPI is the
// system's.

#include <windows.h>

inline constexpr int kDesignDpi = 96;

// The DPI of the screen as a whole: what windows of a program unaware of monitors get.
int SystemDpi();
// The DPI of the monitor the window stands on; the system's where Windows cannot tell.
int WindowDpi(HWND window);
// The DPI of the monitor that holds most of the area, which a window made there takes.
int AreaDpi(const RECT& area);

// Lets the frame and caption of a top-level window being made (WM_NCCREATE) follow the DPI of its
// monitor, as they do by themselves under per-monitor awareness v2. True when they follow it,
// false when they keep the system's DPI on every monitor.
bool LetFrameFollowDpi(HWND window);

// A DPI that a screen may have: Windows scales from 100 % to 500 %; half of 96 to ten times it
// leaves room on both sides.
inline bool IsScreenDpi(int dpi) {
    return dpi >= kDesignDpi / 2 && dpi <= kDesignDpi * 10;
}

// A 96-dpi length at that DPI.
inline int Scaled(int length, int dpi) {
    return ::MulDiv(length, dpi, kDesignDpi);
}
inline RECT Scaled(const RECT& rect, int dpi) {
    return {Scaled(rect.left, dpi), Scaled(rect.top, dpi), Scaled(rect.right, dpi),
            Scaled(rect.bottom, dpi)};
}

// A copy of the font for another DPI: its height scaled from one DPI to the other. Null for none.
HFONT RescaledFont(HFONT font, int fromDpi, int toDpi);

// The window rectangle around a client rectangle, with the frame of that DPI (the system's where
// Windows sizes frames for no other).
RECT FrameAround(RECT client, DWORD style, DWORD exStyle, int dpi);
