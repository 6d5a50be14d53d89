#include "components/notify_popup_window.h"

#include <windowsx.h>

#include <algorithm>

#include "ui/dpi.h"
#include "ui/screen_cursor.h"

namespace {

// A dialog frame without a caption; a tool window (no taskbar button) that is never activated.
constexpr DWORD kPopupStyle = WS_POPUP;
constexpr DWORD kPopupExStyle =
    WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;

constexpr int kStripHeight = 3;
// The text wraps this much inside the panel's width.
constexpr int kTextMargin = 15;
constexpr int kTitleLeftWithoutIcon = 8;
// The icon image control's place and the class library's default image size; it never shows a
// picture but takes mouse clicks.
constexpr RECT kIconArea = {3, 8, 3 + 105, 8 + 105};

// The system cursor of one of the class library's cursor numbers; the default is the arrow.
LPCSTR SystemCursor(int16_t cursor) {
    static const struct {
        int16_t number;
        LPCSTR cursor;
    } kCursors[] = {
        {-3, IDC_CROSS},    {-4, IDC_IBEAM},        {-6, IDC_SIZENESW}, {-7, IDC_SIZENS},
        {-8, IDC_SIZENWSE}, {-9, IDC_SIZEWE},       {-10, IDC_UPARROW}, {-11, IDC_WAIT},
        {-18, IDC_NO},      {-19, IDC_APPSTARTING}, {-20, IDC_HELP},    {-21, IDC_HAND},
        {-22, IDC_SIZEALL},
    };
    for (const auto& entry : kCursors) {
        if (entry.number == cursor) {
            return entry.cursor;
        }
    }
    return IDC_ARROW;
}

// A picture of the window's client size in the screen's format.
UniqueGdiObject ClientSizedBitmap(HWND window, const RECT& client) {
    HDC reference = ::GetDC(window);
    UniqueGdiObject bitmap(::CreateCompatibleBitmap(reference, client.right, client.bottom));
    ::ReleaseDC(window, reference);
    return bitmap;
}

void FillSolid(HDC dc, const RECT& area, COLORREF color) {
    const UniqueGdiObject brush(::CreateSolidBrush(color));
    ::FillRect(dc, &area, static_cast<HBRUSH>(brush.get()));
}

}  // namespace

TfrmNotifyPopUp::TfrmNotifyPopUp(NotifyPopupOwner& owner)
    : owner_(owner),
      drawMethod_(owner.BackgroundDrawMethod),
      url_(owner.URL),
      text_(owner.Text),
      title_(owner.Title),
      timeOut_(owner.TimeOut),
      iconBitmap_(owner.IconBitmap),
      targetWidth_(owner.Width),
      targetHeight_(owner.Height),
      scrollAllowed_((owner.Options & npAllowScroll) != 0),
      linksAllowed_((owner.Options & npAllowHyperlink) != 0),
      gradientColor1_(owner.GradientColor1),
      gradientColor2_(owner.GradientColor2),
      orientation_(owner.GradientOrientation),
      scrollSpeed_(owner.ScrollSpeed),
      font_(&owner.Font),
      hoverFont_(&owner.HoverFont),
      titleFont_(&owner.TitleFont),
      textCursor_(owner.TextCursor) {
    // The text as the window's title too: shown nowhere, but read by screen readers and tools.
    CreateForm(FormDescription(kNotifyPopupClass)
                   .Caption(text_.c_str())
                   .Style(kPopupStyle)
                   .ExStyle(kPopupExStyle)
                   .ClientSize(targetWidth_, targetHeight_)
                   .Background(COLOR_BTNFACE),
               nullptr);
    if (!hwnd()) {
        return;
    }
    // A screen reader reads the news as it is drawn, a link as a link.
    const std::string spoken = title_.empty() ? text_ : title_ + ": " + text_;
    SetAccessible(linksAllowed_ ? AccessibleLink(spoken, [this] { lblTextClick(); })
                                : AccessibleText(spoken));
    // A drop shadow for every window of the class.
    const ULONG_PTR classStyle = ::GetClassLongPtrA(hwnd(), GCL_STYLE);
    if ((classStyle & CS_DROPSHADOW) == 0) {
        ::SetClassLongPtrA(hwnd(), GCL_STYLE, static_cast<LONG_PTR>(classStyle | CS_DROPSHADOW));
    }
    // Every size of the popup is the design's at 96 dpi, scaled here once for its screen.
    dpi_ = WindowDpi(hwnd());
    targetWidth_ = Scaled(owner.Width, dpi_);
    targetHeight_ = Scaled(owner.Height, dpi_);
    if (dpi_ != kDesignDpi) {
        const TFont** fonts[] = {&font_, &hoverFont_, &titleFont_};
        for (size_t i = 0; i < 3; ++i) {
            scaledFonts_[i] = **fonts[i];
            scaledFonts_[i].ScaleFor(dpi_);
            *fonts[i] = &scaledFonts_[i];
        }
    }
    iconBitmap_ = iconBitmap_.ScaledFor(dpi_);
    backgroundImage_ = owner.BackgroundImage.ScaledFor(dpi_);
    lblText.SetFont(*font_);
    lblText.SetAlignment(owner.TextAlignment);
    lblText.SetWordWrap(true);
    lblText.SetLeft(Scaled(9, dpi_));
    lblText.SetTop(Scaled(49, dpi_));
    lblText.OnMouseEnter = [this] { lblTextMouseEnter(); };
    lblText.OnMouseLeave = [this] { lblTextMouseLeave(); };
    lblTitle.SetTop(Scaled(8, dpi_));
    lblTitle.SetLeft(Scaled(48, dpi_));
    imgIcon = Scaled(kIconArea, dpi_);
}

void TfrmNotifyPopUp::PrepareAndShow() {
    const ScreenRect workArea = ReadWorkArea();
    ::SetWindowPos(hwnd(), nullptr, 0, 0, targetWidth_, targetHeight_,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The panel fills the client area; the strip lies along its bottom and the background image
    // fills the rest. Both keep these sizes while the window slides.
    ::GetClientRect(hwnd(), &pnlBorder);
    imgStrip = {0, std::max(0L, pnlBorder.bottom - Scaled(kStripHeight, dpi_)), pnlBorder.right,
                pnlBorder.bottom};
    imgGradient = {0, 0, pnlBorder.right, imgStrip.top};

    taskbarEdge_ = ReadTaskbarEdge();
    freeOnClose_ = true;
    PopupLayout place = Layout();
    place.placedOffset = owner_.Stack().StackOffset();
    if (const auto bounds = PopupPosition(taskbarEdge_, workArea, place)) {
        MoveTo(*bounds);
    }
    placedOffset_ = owner_.stack_.Place(taskbarEdge_, (owner_.Options & npCascadePopups) != 0,
                                        targetHeight_, Scaled(owner_.PopupMarge, dpi_));

    lblTitle.SetFont(*titleFont_);
    lblTitle.SetCaption(title_);
    if (iconBitmap_.IsEmpty()) {
        lblTitle.SetLeft(Scaled(kTitleLeftWithoutIcon, dpi_));
    }
    {
        background_ = ClientSizedBitmap(hwnd(), pnlBorder);
        const UniqueDc surface(::CreateCompatibleDC(nullptr));
        const SelectedObject selected(surface.get(), background_.get());
        PaintBackground(surface.get());
    }

    exitInterval_ = static_cast<UINT>(std::clamp<int64_t>(int64_t{timeOut_} * 1000, 0, INT32_MAX));
    if (scrollAllowed_) {
        MoveTo(SlideStart(ReadTaskbarEdge(), CurrentBounds()));
        SetTimerEnabled(tmrScroll, true);
    } else {
        SetTimerEnabled(tmrExit, true);
    }
    ::SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    ::ShowWindow(hwnd(), SW_SHOWNOACTIVATE);

    // Laid out once in each font, as hovering will switch between them.
    lblText.SetFont(*hoverFont_);
    CenterTextLabel();
    lblText.SetFont(*font_);
    CenterTextLabel();
}

void TfrmNotifyPopUp::ClosePopup() {
    if (closed_ || !hwnd()) {
        return;
    }
    Hide();
    if (!freeOnClose_) {
        // A handler of this window runs: its own close follows.
        return;
    }
    closed_ = true;
    for (UINT_PTR timer : {tmrExit, tmrScroll, tmrScrollDown}) {
        ::KillTimer(hwnd(), timer);
    }
    owner_.PopupClosed();
    if (dispatchDepth_ == 0) {
        DestroyIfClosed();
    }
}

void TfrmNotifyPopUp::DestroyIfClosed() {
    if (closed_ && !destroying_) {
        destroying_ = true;
        Destroy();
    }
}

LRESULT TfrmNotifyPopUp::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // A popup closed by one of its own handlers goes once they have all returned.
    struct DispatchScope {
        TfrmNotifyPopUp& popup;
        explicit DispatchScope(TfrmNotifyPopUp& p) : popup(p) { ++popup.dispatchDepth_; }
        ~DispatchScope() {
            if (--popup.dispatchDepth_ == 0) {
                popup.DestroyIfClosed();
            }
        }
    } scope(*this);
    return HandleOwnMessage(message, wParam, lParam);
}

void TfrmNotifyPopUp::OnFinalMessage() {
    owner_.Forget(this);
    delete this;
}

LRESULT TfrmNotifyPopUp::HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers everything from the prepared picture
        case WM_PAINT:
            Paint();
            return 0;
        case WM_PRINTCLIENT:
            PaintTo(reinterpret_cast<HDC>(wParam), pnlBorder);
            return 0;
        case WM_SETCURSOR:
            if (ApplyScreenCursor()) {
                return TRUE;
            }
            if (LOWORD(lParam) == HTCLIENT && SetCursorOverText()) {
                return TRUE;
            }
            break;
        case WM_MOUSEMOVE:
            MouseMoved(point);
            return 0;
        case WM_MOUSELEAVE:
            MouseLeftWindow();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            ::SetCapture(hwnd());
            pressed_ = PartAt(point);
            return 0;
        case WM_LBUTTONUP: {
            // The part pressed has the mouse until the button goes up.
            const Part part = pressed_ != Part::None ? pressed_ : PartAt(point);
            pressed_ = Part::None;
            if (::GetCapture() == hwnd()) {
                ::ReleaseCapture();
            }
            if (part == Part::Text && lblText.Contains(point)) {
                lblTextClick();
            }
            MouseButtonUp(part, MouseButton::Left);
            return 0;
        }
        case WM_RBUTTONUP:
            MouseButtonUp(PartAt(point), MouseButton::Right);
            return 0;
        case WM_MBUTTONUP:
            MouseButtonUp(PartAt(point), MouseButton::Middle);
            return 0;
        case WM_CAPTURECHANGED:
            pressed_ = Part::None;
            break;
        case WM_TIMER:
            switch (wParam) {
                case tmrExit:
                    tmrExitTimer();
                    return 0;
                case tmrScroll:
                    tmrScrollTimer();
                    return 0;
                case tmrScrollDown:
                    tmrscrollDownTimer();
                    return 0;
            }
            break;
        case WM_CLOSE:
            ClosePopup();
            return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

void TfrmNotifyPopUp::SetTimerEnabled(UINT_PTR timer, bool enabled) {
    // Like the class library's timers, one with an interval of 0 never runs.
    const UINT interval = timer == tmrExit ? exitInterval_ : kSlideStepMs;
    if (enabled && interval > 0) {
        ::SetTimer(hwnd(), timer, interval, nullptr);
    } else {
        ::KillTimer(hwnd(), timer);
    }
}

PopupLayout TfrmNotifyPopUp::Layout() const {
    return {targetWidth_,
            targetHeight_,
            Scaled(owner_.PopupStartX, dpi_),
            Scaled(owner_.PopupStartY, dpi_),
            placedOffset_,
            scrollSpeed_};
}

PopupBounds TfrmNotifyPopUp::CurrentBounds() const {
    RECT bounds;
    ::GetWindowRect(hwnd(), &bounds);
    return {bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top};
}

void TfrmNotifyPopUp::MoveTo(const PopupBounds& bounds) {
    // The contents stay at the client area's top-left corner, so the system keeps what is shown
    // and only a newly uncovered part is painted.
    ::SetWindowPos(hwnd(), nullptr, bounds.left, bounds.top, bounds.width, bounds.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmNotifyPopUp::PaintBackground(HDC dc) {
    FillSolid(dc, pnlBorder, ::GetSysColor(COLOR_BTNFACE));
    // The background image's own picture starts white at its size; the icon is drawn on it too.
    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, imgGradient.left, imgGradient.top, imgGradient.right,
                        imgGradient.bottom);
    FillSolid(dc, imgGradient, RGB(255, 255, 255));
    if (backgroundImage_.IsEmpty()) {
        strip_.reset(::LoadBitmapA(::GetModuleHandleA(nullptr), "STRIP"));
        PaintGradient(dc);
    } else {
        PaintBackgroundImage(dc);
    }
    if (!iconBitmap_.IsEmpty()) {
        iconBitmap_.Draw(dc, Scaled(owner_.IconLeft, dpi_), Scaled(owner_.IconTop, dpi_), 0, true);
    }
    ::RestoreDC(dc, saved);
    if (strip_) {
        BITMAP strip = {};
        ::GetObjectA(strip_.get(), sizeof(strip), &strip);
        const UniqueDc source(::CreateCompatibleDC(dc));
        const SelectedObject selected(source.get(), strip_.get());
        ::SetStretchBltMode(dc, COLORONCOLOR);
        ::StretchBlt(dc, imgStrip.left, imgStrip.top, imgStrip.right - imgStrip.left,
                     imgStrip.bottom - imgStrip.top, source.get(), 0, 0, strip.bmWidth,
                     strip.bmHeight, SRCCOPY);
    }
}

void TfrmNotifyPopUp::PaintGradient(HDC dc) {
    const int width = imgGradient.right - imgGradient.left;
    const int height = imgGradient.bottom - imgGradient.top;
    const bool vertical = orientation_ == mbVertical;
    const COLORREF start = ColorToRGB(gradientColor1_);
    const COLORREF end = ColorToRGB(gradientColor2_);
    // Lines 0 to n, n being the height (vertical) or width (horizontal); line n lies just
    // outside the picture.
    const int lines = vertical ? height : width;
    for (int i = 0; i < lines; ++i) {
        const RECT line = vertical ? RECT{0, i, width, i + 1} : RECT{i, 0, i + 1, height};
        FillSolid(dc, line, GradientColorAt(i, lines, start, end));
    }
}

void TfrmNotifyPopUp::PaintBackgroundImage(HDC dc) {
    const Picture& image = backgroundImage_;
    switch (drawMethod_) {
        case dmActualSize:
            image.Draw(dc, 0, 0, 0, true);
            break;
        case dmTile:
            for (int x = 0; x < imgGradient.right; x += image.Width()) {
                for (int y = 0; y < imgGradient.bottom; y += image.Height()) {
                    image.Draw(dc, x, y, 0, true);
                }
            }
            break;
        case dmFit:
            image.DrawStretched(dc, imgGradient, 0, true);
            break;
    }
}

void TfrmNotifyPopUp::Compose() {
    if (!background_) {
        return;
    }
    if (!shown_) {
        shown_ = ClientSizedBitmap(hwnd(), pnlBorder);
    }
    const UniqueDc target(::CreateCompatibleDC(nullptr));
    const UniqueDc source(::CreateCompatibleDC(nullptr));
    const SelectedObject selectedTarget(target.get(), shown_.get());
    const SelectedObject selectedSource(source.get(), background_.get());
    ::BitBlt(target.get(), 0, 0, pnlBorder.right, pnlBorder.bottom, source.get(), 0, 0, SRCCOPY);
    lblText.Paint(target.get());
    lblTitle.Paint(target.get());
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void TfrmNotifyPopUp::Paint() {
    const WindowPaint paint(hwnd());
    PaintTo(paint.get(), paint.Area());
}

void TfrmNotifyPopUp::PaintTo(HDC dc, const RECT& area) {
    if (!shown_) {
        return;
    }
    const UniqueDc source(::CreateCompatibleDC(dc));
    const SelectedObject selected(source.get(), shown_.get());
    ::BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, source.get(),
             area.left, area.top, SRCCOPY);
}

void TfrmNotifyPopUp::CenterTextLabel() {
    const int panelWidth = pnlBorder.right;
    const int panelHeight = pnlBorder.bottom;
    lblText.SetCaption(text_);
    lblText.SetWidth(panelWidth - Scaled(kTextMargin, dpi_));
    lblText.SetLeft(CenteredStart(panelWidth, lblText.Width()));
    lblText.SetTop(CenteredStart(panelHeight, lblText.Height()));
    Compose();
}

TfrmNotifyPopUp::Part TfrmNotifyPopUp::PartAt(POINT point) const {
    if (::PtInRect(&imgStrip, point)) {
        return Part::Strip;
    }
    if (lblTitle.Contains(point)) {
        return Part::Title;
    }
    if (lblText.Contains(point)) {
        return Part::Text;
    }
    if (::PtInRect(&imgIcon, point)) {
        return Part::Icon;
    }
    if (::PtInRect(&imgGradient, point)) {
        return Part::Gradient;
    }
    return Part::None;
}

void TfrmNotifyPopUp::MouseMoved(POINT point) {
    if (!trackingLeave_) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, hwnd(), 0};
        trackingLeave_ = ::TrackMouseEvent(&track) != FALSE;
    }
    const Part part = PartAt(point);
    const bool wasOverText = hovered_ == Part::Text;
    hovered_ = part;
    if (wasOverText && part != Part::Text) {
        lblText.MouseLeft();
    } else if (!wasOverText && part == Part::Text) {
        lblText.MouseEntered();
    }
}

void TfrmNotifyPopUp::MouseLeftWindow() {
    trackingLeave_ = false;
    if (hovered_ == Part::Text) {
        hovered_ = Part::None;
        lblText.MouseLeft();
    }
    hovered_ = Part::None;
}

void TfrmNotifyPopUp::MouseButtonUp(Part part, MouseButton button) {
    switch (part) {
        case Part::Text:
            lblTextMouseUp(button);
            break;
        case Part::Title:
            lblTitleMouseUp();
            break;
        case Part::Icon:
            imgIconMouseUp();
            break;
        case Part::Gradient:
            imgGradientMouseUp();
            break;
        case Part::Strip:
        case Part::None:
            break;
    }
}

bool TfrmNotifyPopUp::SetCursorOverText() {
    POINT point;
    ::GetCursorPos(&point);
    ::ScreenToClient(hwnd(), &point);
    if (PartAt(point) != Part::Text) {
        return false;
    }
    ::SetCursor(::LoadCursorA(nullptr, SystemCursor(textCursor_)));
    return true;
}

void TfrmNotifyPopUp::lblTextMouseEnter() {
    if (linksAllowed_) {
        lblText.SetFont(*hoverFont_);
        CenterTextLabel();
    }
}

void TfrmNotifyPopUp::lblTextMouseLeave() {
    if (linksAllowed_) {
        lblText.SetFont(*font_);
        CenterTextLabel();
    }
}

// While an event handler of the popup runs, a close only hides the popup.
class TfrmNotifyPopUp::HandlerScope {
  public:
    explicit HandlerScope(TfrmNotifyPopUp& popup) : popup_(popup) { popup_.freeOnClose_ = false; }
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
    ~HandlerScope() { popup_.freeOnClose_ = true; }

  private:
    TfrmNotifyPopUp& popup_;
};

void TfrmNotifyPopUp::lblTextClick() {
    {
        const HandlerScope handler(*this);
        if (linksAllowed_) {
            if (owner_.OnURLClick) {
                owner_.OnURLClick(*this, url_);
            }
            if ((owner_.Options & npAutoOpenURL) != 0) {
                owner_.OpenURL(url_);
            }
        } else if (owner_.OnClick) {
            owner_.OnClick(TNotifySender{this});
        }
    }
    ClosePopup();
}

void TfrmNotifyPopUp::lblTextMouseUp(MouseButton button) {
    if (button == MouseButton::Right) {
        ClickAndClose();
    }
}

void TfrmNotifyPopUp::lblTitleMouseUp() {
    ClickAndClose();
}

void TfrmNotifyPopUp::imgIconMouseUp() {
    ClickAndClose();
}

void TfrmNotifyPopUp::imgGradientMouseUp() {
    ClickAndClose();
}

void TfrmNotifyPopUp::ClickAndClose() {
    if (owner_.OnClick) {
        const HandlerScope handler(*this);
        owner_.ReportComponentClick();
    }
    ClosePopup();
}

void TfrmNotifyPopUp::tmrExitTimer() {
    SetTimerEnabled(tmrExit, false);
    SetTimerEnabled(tmrScrollDown, true);
}

void TfrmNotifyPopUp::tmrScrollTimer() {
    const SlideStep step = SlideInStep(taskbarEdge_, CurrentBounds(), ReadWorkArea(), Layout());
    MoveTo(step.bounds);
    if (step.finished) {
        SetTimerEnabled(tmrScroll, false);
        SetTimerEnabled(tmrExit, true);
    }
}

void TfrmNotifyPopUp::tmrscrollDownTimer() {
    const SlideStep step = SlideOutStep(taskbarEdge_, CurrentBounds(), scrollSpeed_);
    if (step.finished) {
        ClosePopup();
    } else {
        MoveTo(step.bounds);
    }
}
