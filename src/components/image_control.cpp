#include "components/image_control.h"

#include "ui/dpi.h"

void ImageControl::Create(HWND parent, int left, int top, int width, int height) {
    CreateControl("TImage", parent, left, top, width, height);
    if (!normal_.IsEmpty()) {
        SetPicture(normal_);
    }
}

void ImageControl::SetPicture(const Picture& picture) {
    StopAnimation();
    // Shown at the DPI of the screen the control stands on.
    source_ = picture;
    picture_ = picture.ScaledFor(WindowDpi(hwnd()));
    frame_ = 0;
    ApplyAutoSize();
    Repaint();
    StartAnimation();
}

void ImageControl::SetCenter(bool center) {
    center_ = center;
    Repaint();
}

void ImageControl::SetTransparent(bool transparent) {
    transparent_ = transparent;
    Repaint();
}

void ImageControl::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    ApplyAutoSize();
}

void ImageControl::BeginHover() {
    if (Tag() == 0) {
        SetPicture(hover_);
        SetTag(1);
    }
}

void ImageControl::EndHover() {
    if (Tag() == 1) {
        SetPicture(normal_);
        SetTag(0);
    }
}

void ImageControl::SetButtonPictures(const Picture& normal, const Picture& hover) {
    normal_ = normal;
    hover_ = hover;
    if (hwnd()) {
        SetPicture(normal_);
    }
}

LRESULT ImageControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            // Being painted means being seen: that is when the animation runs.
            StartAnimation();
            break;
        case WM_SHOWWINDOW:
            if (!wParam) {
                StopAnimation();
            }
            break;
        case WM_TIMER:
            if (wParam == kPictureFrameTimer) {
                NextFrame();
                return 0;
            }
            break;
    }
    return Control::HandleMessage(message, wParam, lParam);
}

void ImageControl::PaintContent(HDC dc) {
    if (center_) {
        RECT client;
        ::GetClientRect(hwnd(), &client);
        picture_.DrawCentered(dc, client, frame_, transparent_);
    } else {
        picture_.Draw(dc, 0, 0, frame_, transparent_);
    }
}

bool ImageControl::CoversClientArea() const {
    RECT client;
    ::GetClientRect(hwnd(), &client);
    // Placed at the corner or centred, a picture at least as large as the control covers it.
    return !transparent_ && picture_.Width() >= client.right && picture_.Height() >= client.bottom;
}

void ImageControl::ApplyAutoSize() {
    if (autoSize_ && hwnd() && !picture_.IsEmpty()) {
        const RECT bounds = Bounds();
        SetBounds(bounds.left, bounds.top, picture_.Width(), picture_.Height());
    }
}

void ImageControl::StartAnimation() {
    // Whether it is animated is asked last: that decodes the picture.
    if (!animating_ && ::IsWindowVisible(hwnd()) && picture_.IsAnimated()) {
        animating_ =
            ::SetTimer(hwnd(), kPictureFrameTimer, picture_.FrameDelay(frame_), nullptr) != 0;
    }
}

void ImageControl::StopAnimation() {
    if (animating_) {
        ::KillTimer(hwnd(), kPictureFrameTimer);
        animating_ = false;
    }
}

void ImageControl::NextFrame() {
    // A hidden parent hides the control without telling it; the next tick notices.
    if (!animating_ || !::IsWindowVisible(hwnd())) {
        StopAnimation();
        return;
    }
    frame_ = (frame_ + 1) % picture_.FrameCount();
    Repaint();
    ::SetTimer(hwnd(), kPictureFrameTimer, picture_.FrameDelay(frame_), nullptr);
}

void ImageControl::Repaint() {
    if (hwnd()) {
        ::InvalidateRect(hwnd(), nullptr, FALSE);
    }
}

void ImageControl::DpiChanged(int /*oldDpi*/, int newDpi) {
    StopAnimation();
    picture_ = source_.ScaledFor(newDpi);
    ApplyAutoSize();
    Repaint();
    StartAnimation();
}
