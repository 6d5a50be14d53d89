#include "ui/pointer_messages.h"

PointerMessage PointerIn(uint32_t message) {
    // Windows' message numbers.
    switch (message) {
        case 0x0001:  // WM_CREATE
        case 0x000C:  // WM_SETTEXT
        case 0x000D:  // WM_GETTEXT
        case 0x0024:  // WM_GETMINMAXINFO
        case 0x002B:  // WM_DRAWITEM
        case 0x002C:  // WM_MEASUREITEM
        case 0x002D:  // WM_DELETEITEM
        case 0x0039:  // WM_COMPAREITEM
        case 0x0046:  // WM_WINDOWPOSCHANGING
        case 0x0047:  // WM_WINDOWPOSCHANGED
        case 0x004A:  // WM_COPYDATA
        case 0x0053:  // WM_HELP
        case 0x007C:  // WM_STYLECHANGING
        case 0x007D:  // WM_STYLECHANGED
        case 0x0081:  // WM_NCCREATE
        case 0x0083:  // WM_NCCALCSIZE
        case 0x0214:  // WM_SIZING
        case 0x0216:  // WM_MOVING
            return PointerMessage::CopiedBySystem;
        case 0x004E:  // WM_NOTIFY
        case 0x02E0:  // WM_DPICHANGED
            return PointerMessage::Raw;
        default:
            return PointerMessage::None;
    }
}
