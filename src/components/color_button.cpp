#include "components/color_button.h"

#include "ui/layout_rules.h"
#include "ui/win_handles.h"

namespace {

bool IsPushButton(HWND window) {
    char className[16] = "";
    ::GetClassNameA(window, className, sizeof(className));
    if (!window || ::lstrcmpiA(className, "Button") != 0) {
        return false;
    }
    const LONG type = ::GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW;
}

RECT Shrunk(RECT rect, int by) {
    ::InflateRect(&rect, -by, -by);
    return rect;
}

// Outlines rect with a one-pixel pen and fills it with brush (a hollow one fills nothing).
void DrawRectangle(HDC dc, const RECT& rect, COLORREF pen, HBRUSH brush) {
    const UniqueGdiObject penObject(::CreatePen(PS_SOLID, 1, pen));
    const SelectedObject selectedPen(dc, penObject.get());
    const SelectedObject selectedBrush(dc, brush);
    ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

}  // namespace

void TButtonWithColor::Create(HWND parent, int left, int top, int width, int height,
                              const std::string& caption) {
    CreateButton(parent, BS_OWNERDRAW, left, top, width, height, caption);
}

void TButtonWithColor::SetColor(COLORREF color) {
    if (color != color_) {
        color_ = color;
        Repaint();
    }
}

void TButtonWithColor::SetMargin(int margin) {
    if (margin != margin_ && AcceptsMargin(margin)) {
        margin_ = margin;
        Repaint();
    }
}

void TButtonWithColor::SetDefault(bool isDefault) {
    default_ = isDefault;
    UpdateShowsActive(::GetFocus());
}

void TButtonWithColor::Repaint() {
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

bool TButtonWithColor::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_DRAWITEM:
            DrawFace(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            result = TRUE;
            return true;
        case WM_MEASUREITEM: {
            auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            RECT client;
            ::GetClientRect(hwnd(), &client);
            item->itemWidth = client.right;
            item->itemHeight = client.bottom;
            result = TRUE;
            return true;
        }
    }
    return PushButton::Reflect(message, wParam, lParam, result);
}

LRESULT TButtonWithColor::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDBLCLK:
            // A fast second click presses the button again instead of being a double click.
            return ::SendMessageA(hwnd(), WM_LBUTTONDOWN, wParam, lParam);
        case WM_SETFOCUS:
            FocusMoved(hwnd());
            break;
        case WM_KILLFOCUS:
            FocusMoved(reinterpret_cast<HWND>(wParam));
            break;
        case WM_ENABLE:
        case WM_SETFONT:
            Repaint();
            break;
    }
    return PushButton::HandleMessage(message, wParam, lParam);
}

void TButtonWithColor::FocusMoved(HWND newFocus) {
    for (HWND sibling = ::GetWindow(hwnd(), GW_HWNDFIRST); sibling;
         sibling = ::GetWindow(sibling, GW_HWNDNEXT)) {
        if (auto* button = dynamic_cast<TButtonWithColor*>(Window::FromHandle(sibling))) {
            button->UpdateShowsActive(newFocus);
        }
    }
}

void TButtonWithColor::UpdateShowsActive(HWND newFocus) {
    const bool active = ButtonShowsActive(newFocus == hwnd(), IsPushButton(newFocus), default_);
    if (active != showsActive_) {
        showsActive_ = active;
        Repaint();
    }
}

void TButtonWithColor::DrawFace(const DRAWITEMSTRUCT& item) {
    const HDC dc = item.hDC;
    const bool down = (item.itemState & ODS_SELECTED) != 0;
    const bool focus = (item.itemState & ODS_FOCUS) != 0;
    RECT client;
    ::GetClientRect(hwnd(), &client);
    RECT face = client;
    const UniqueGdiObject faceBrush(::CreateSolidBrush(color_));
    const auto faceBrushHandle = static_cast<HBRUSH>(faceBrush.get());
    if (showsActive_ || focus) {
        DrawRectangle(dc, face, ::GetSysColor(COLOR_WINDOWFRAME),
                      static_cast<HBRUSH>(::GetStockObject(HOLLOW_BRUSH)));
        face = Shrunk(face, 1);
    }
    if (down) {
        DrawRectangle(dc, face, ::GetSysColor(COLOR_BTNSHADOW), faceBrushHandle);
    } else {
        ::DrawEdge(dc, &face, EDGE_RAISED, BF_RECT | BF_ADJUST);
        DrawRectangle(dc, face, color_, faceBrushHandle);
    }
    face = Shrunk(face, 1);
    if (showsActive_) {
        face = Shrunk(client, 1);
    }
    if (down) {
        ::OffsetRect(&face, 1, 1);
    }
    DrawCaption(dc, face);
    if (showsActive_) {
        const RECT focusRect = Shrunk(client, 4);
        ::DrawFocusRect(dc, &focusRect);
    }
}

void TButtonWithColor::DrawCaption(HDC dc, const RECT& area) const {
    const std::string caption = Text();
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageA(hwnd(), WM_GETFONT, 0, 0));
    const SelectedObject selectedFont(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    RECT measured = {0, 0, width, 0};
    ::DrawTextA(dc, caption.c_str(), -1, &measured, DT_CALCRECT);
    const Offset at = CenteredCaption(width, height, measured.right, measured.bottom);
    RECT text = {area.left + at.x, area.top + at.y, area.left + at.x + measured.right,
                 area.top + at.y + measured.bottom};
    ::SetBkMode(dc, TRANSPARENT);
    if (IsEnabled()) {
        // The caption in the colour of the button's font, which it takes from its form.
        ::SetTextColor(dc, TextColor() != CLR_INVALID ? TextColor() : ::GetSysColor(COLOR_BTNTEXT));
        ::DrawTextA(dc, caption.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        return;
    }
    RECT embossed = text;
    ::OffsetRect(&embossed, 1, 1);
    ::SetTextColor(dc, RGB(255, 255, 255));
    ::DrawTextA(dc, caption.c_str(), -1, &embossed, 0);
    ::SetTextColor(dc, RGB(128, 128, 128));
    ::DrawTextA(dc, caption.c_str(), -1, &text, 0);
}
