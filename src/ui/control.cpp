#include "ui/control.h"

#include <windowsx.h>

#include <vector>

#include "ui/win_handles.h"

namespace {

// Has window paint its client area into dc the way WM_PRINT does: background, then content.
void PrintClient(HWND window, HDC dc) {
    ::SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ::SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
}

// Has window paint into dc, whose origin is the control's client origin, clipped to the control.
void PrintClientUnder(HWND control, HWND window, HDC dc) {
    RECT controlClient;
    ::GetClientRect(control, &controlClient);
    RECT windowClient;
    ::GetClientRect(window, &windowClient);
    POINT origin = {0, 0};
    ::MapWindowPoints(window, control, &origin, 1);

    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, 0, 0, controlClient.right, controlClient.bottom);
    ::OffsetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    ::IntersectClipRect(dc, 0, 0, windowClient.right, windowClient.bottom);
    PrintClient(window, dc);
    ::RestoreDC(dc, saved);
}

bool Overlap(HWND a, HWND b) {
    RECT first;
    RECT second;
    RECT common;
    ::GetWindowRect(a, &first);
    ::GetWindowRect(b, &second);
    return ::IntersectRect(&common, &first, &second) != FALSE;
}

// The style bit, not IsWindowVisible: a hidden parent must not make its children look hidden when
// the parent is printed.
bool HasVisibleStyle(HWND window) {
    return (::GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

POINT ClientPosition(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

}  // namespace

void PaintUnderlay(HWND control, HDC dc) {
    PrintClientUnder(control, ::GetParent(control), dc);
    std::vector<HWND> below;
    for (HWND sibling = ::GetWindow(control, GW_HWNDNEXT); sibling;
         sibling = ::GetWindow(sibling, GW_HWNDNEXT)) {
        if (HasVisibleStyle(sibling) && Overlap(control, sibling)) {
            below.push_back(sibling);
        }
    }
    for (auto sibling = below.rbegin(); sibling != below.rend(); ++sibling) {
        PrintClientUnder(control, *sibling, dc);
    }
}

Control::~Control() {
    // Destroyed here rather than by the base, so that the last messages still reach this class.
    if (hwnd()) {
        ::DestroyWindow(hwnd());
    }
}

void Control::CreateControl(const char* className, HWND parent, int left, int top, int width,
                            int height, DWORD extraStyle) {
    CreateForm(FormDescription(className)
                   .Style(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | extraStyle)
                   .At(left, top)
                   .ClientSize(width, height),
               parent);
    // The system puts a new child at the bottom of its siblings; the designer's order is the
    // reverse.
    ::SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowLongPtrA(hwnd(), GWLP_ID, NextControlId());
}

void Control::SetTabStop() {
    ::SetWindowLongA(hwnd(), GWL_STYLE, ::GetWindowLongA(hwnd(), GWL_STYLE) | WS_TABSTOP);
}

void Control::SetBounds(int left, int top, int width, int height) {
    ::MoveWindow(hwnd(), left, top, width, height, TRUE);
}

void Control::SetVisible(bool visible) {
    ::ShowWindow(hwnd(), visible ? SW_SHOWNA : SW_HIDE);
}

LRESULT Control::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            // WM_PAINT draws everything at once, which does not flicker.
            return 1;
        case WM_PAINT:
            PaintBuffered();
            return 0;
        case WM_PRINTCLIENT:
            PaintTo(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_SETCURSOR:
            if (handCursor_ && LOWORD(lParam) == HTCLIENT) {
                ::SetCursor(::LoadCursorA(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        case WM_CAPTURECHANGED:
            clickPending_ = false;
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE:
            ::InvalidateRect(hwnd(), nullptr, FALSE);
            break;
        case WM_KEYDOWN:
            // Space clicks a control the keyboard reached, as it does a button.
            if (wParam == VK_SPACE && OnClick) {
                OnClick();
                return 0;
            }
            break;
        default:
            if (HandleMouse(message, lParam)) {
                return 0;
            }
    }
    return Window::HandleMessage(message, wParam, lParam);
}

bool Control::HandleMouse(UINT message, LPARAM lParam) {
    const POINT position = ClientPosition(lParam);
    const auto mouseDown = [&](MouseButton button) {
        if (OnMouseDown) {
            OnMouseDown(button, position);
        }
    };
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // Capture first: a handler may release it again, as dragging the window does.
            ::SetCapture(hwnd());
            clickPending_ = message == WM_LBUTTONDOWN;
            mouseDown(MouseButton::Left);
            return true;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            mouseDown(MouseButton::Right);
            return true;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            mouseDown(MouseButton::Middle);
            return true;
        case WM_MOUSEMOVE:
            if (OnMouseMove) {
                OnMouseMove(position);
            }
            return true;
        case WM_LBUTTONUP: {
            const bool clicked = clickPending_;
            clickPending_ = false;
            if (::GetCapture() == hwnd()) {
                ::ReleaseCapture();
            }
            RECT client;
            ::GetClientRect(hwnd(), &client);
            if (clicked && ::PtInRect(&client, position) && OnClick) {
                OnClick();
            }
            return true;
        }
    }
    return false;
}

void Control::PaintTo(HDC dc) {
    if (!CoversClientArea()) {
        PaintUnderlay(hwnd(), dc);
    }
    PaintContent(dc);
    // The focus rectangle of a control the keyboard reached, unless the mouse is in use.
    const bool focusHidden = (::SendMessageA(hwnd(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
    if (::GetFocus() == hwnd() && !focusHidden) {
        RECT client;
        ::GetClientRect(hwnd(), &client);
        ::DrawFocusRect(dc, &client);
    }
}

void Control::PaintBuffered() {
    const WindowPaint paint(hwnd());
    const HDC dc = paint.get();
    RECT client;
    ::GetClientRect(hwnd(), &client);
    if (client.right > 0 && client.bottom > 0) {
        const UniqueDc buffer(::CreateCompatibleDC(dc));
        const UniqueGdiObject bitmap(::CreateCompatibleBitmap(dc, client.right, client.bottom));
        const SelectedObject selected(buffer.get(), bitmap.get());
        PaintTo(buffer.get());
        ::BitBlt(dc, 0, 0, client.right, client.bottom, buffer.get(), 0, 0, SRCCOPY);
    }
}
