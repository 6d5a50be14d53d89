#include "components/gauge.h"

#include <algorithm>
#include <string>

#include "ui/dpi.h"
#include "ui/font.h"
#include "ui/win_handles.h"

namespace {

constexpr COLORREF kBarColor = RGB(255, 7, 108);
constexpr COLORREF kBackgroundColor = RGB(255, 255, 255);
constexpr COLORREF kTextColor = RGB(255, 255, 255);

}  // namespace

void Gauge::Create(HWND parent, const RECT& bounds) {
    CreateForm(FormDescription("TGauge")
                   .Style(WS_CHILD | WS_VISIBLE)
                   .At(bounds.left, bounds.top)
                   .ClientSize(bounds.right - bounds.left, bounds.bottom - bounds.top),
               parent);
    // The hourglass over the gauge tells that the download keeps the program busy.
    ::SetClassLongPtrA(hwnd(), GCLP_HCURSOR,
                       reinterpret_cast<LONG_PTR>(::LoadCursorA(nullptr, IDC_WAIT)));
}

void Gauge::SetMinValue(int64_t value) {
    min_ = value;
    SetProgress(progress_);
}

void Gauge::SetMaxValue(int64_t value) {
    max_ = value;
    SetProgress(progress_);
}

void Gauge::SetProgress(int64_t value) {
    progress_ = std::clamp(value, min_, std::max(min_, max_));
    if (hwnd()) {
        ::InvalidateRect(hwnd(), nullptr, FALSE);
        ::UpdateWindow(hwnd());
    }
}

int Gauge::PercentDone() const {
    return max_ > min_ ? static_cast<int>((progress_ - min_) * 100 / (max_ - min_)) : 0;
}

LRESULT Gauge::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            const WindowPaint paint(hwnd());
            Paint(paint.get());
            return 0;
        }
    }
    return Window::HandleMessage(message, wParam, lParam);
}

void Gauge::Paint(HDC dc) const {
    RECT client;
    ::GetClientRect(hwnd(), &client);
    RECT bar = client;
    bar.right = client.left + (client.right - client.left) * PercentDone() / 100;
    RECT rest = client;
    rest.left = bar.right;
    const UniqueGdiObject barBrush(::CreateSolidBrush(kBarColor));
    const UniqueGdiObject backgroundBrush(::CreateSolidBrush(kBackgroundColor));
    ::FillRect(dc, &bar, static_cast<HBRUSH>(barBrush.get()));
    ::FillRect(dc, &rest, static_cast<HBRUSH>(backgroundBrush.get()));

    // White on the bar; where the bar has not reached yet, the text takes the bar's colour so that
    // it stays readable on white.
    const UniqueGdiObject font = CreatePointFont("Verdana", 8, 0, WindowDpi(hwnd()));
    const SelectedObject selected(dc, font.get());
    const std::string text = std::to_string(PercentDone()) + "%";
    ::SetBkMode(dc, TRANSPARENT);
    const struct {
        RECT clip;
        COLORREF color;
    } parts[] = {{bar, kTextColor}, {rest, kBarColor}};
    for (const auto& part : parts) {
        const int saved = ::SaveDC(dc);
        ::IntersectClipRect(dc, part.clip.left, part.clip.top, part.clip.right, part.clip.bottom);
        ::SetTextColor(dc, part.color);
        RECT area = client;
        ::DrawTextA(dc, text.c_str(), -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ::RestoreDC(dc, saved);
    }
}
