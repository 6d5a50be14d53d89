#pragma once
// One notification of TNotifyPopUp: a captionless, dialog-framed tool window that stays on top and
// is never activated, so the window the user types in keeps the keyboard. It draws its parts
// itself (the background with the logo or a gradient, the strip, the title and the text) from one
// prepared picture, so that sliding and hovering never flicker.
//
// Life: ShowNotification creates it hidden and runs PrepareAndShow; it slides in, waits TimeOut
// seconds, slides out and closes. A close while one of its own handlers runs only hides it; a
// closed popup destroys its window once its handlers have returned, and frees itself after the
// window's last message.

#include <windows.h>

#include <string>

#include "components/mouse_label.h"
#include "components/notify_popup_owner.h"
#include "components/notify_popup_rules.h"
#include "ui/control.h"
#include "ui/dpi.h"
#include "ui/win_handles.h"
#include "ui/window.h"

inline constexpr const char* kNotifyPopupClass = "TfrmNotifyPopUp";

// A popup's wait at full size (TimeOut seconds), then its 25 ms slide steps in and out.
inline constexpr UINT_PTR tmrExit = 1;
inline constexpr UINT_PTR tmrScroll = 2;
inline constexpr UINT_PTR tmrScrollDown = 3;

class TfrmNotifyPopUp : public Window {
  public:
    static constexpr UINT kSlideStepMs = 25;

    // Creates the window hidden, with copies of the component's texts and values of now.
    explicit TfrmNotifyPopUp(NotifyPopupOwner& owner);

    // Sizes, places and paints the window, starts its slide (or its wait) and shows it without
    // activating it.
    void PrepareAndShow();
    // The form's close: frees the popup when FreeOnClose, else only hides it.
    void ClosePopup();

    const std::string& URL() const { return url_; }
    const std::string& Text() const { return text_; }
    const std::string& Title() const { return title_; }
    int32_t PlacedOffset() const { return placedOffset_; }
    const TMouseLabel& TextLabel() const { return lblText; }
    const TMouseLabel& TitleLabel() const { return lblTitle; }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage() override;

  private:
    // The parts the window draws, topmost first.
    enum class Part { None, Strip, Title, Text, Icon, Gradient };
    class HandlerScope;

    LRESULT HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Destroys the window of a closed popup, which frees this object.
    void DestroyIfClosed();
    void SetTimerEnabled(UINT_PTR timer, bool enabled);
    PopupLayout Layout() const;
    PopupBounds CurrentBounds() const;
    void MoveTo(const PopupBounds& bounds);

    void PaintBackground(HDC dc);
    void PaintGradient(HDC dc);
    void PaintBackgroundImage(HDC dc);
    // Draws the prepared background and the labels into the picture the window shows.
    void Compose();
    void Paint();
    // Copies the shown picture's area (client coordinates) to the same place in dc.
    void PaintTo(HDC dc, const RECT& area);
    void CenterTextLabel();

    Part PartAt(POINT point) const;
    void MouseMoved(POINT point);
    void MouseLeftWindow();
    void MouseButtonUp(Part part, MouseButton button);
    bool SetCursorOverText();

    void lblTextMouseEnter();
    void lblTextMouseLeave();
    void lblTextClick();
    void lblTextMouseUp(MouseButton button);
    void lblTitleMouseUp();
    void imgIconMouseUp();
    void imgGradientMouseUp();
    // The common mouse-up of the background, icon and title: the component's OnClick, then close.
    void ClickAndClose();
    void tmrExitTimer();
    void tmrScrollTimer();
    void tmrscrollDownTimer();

    int32_t placedOffset_ = 0;
    NotifyPopupOwner& owner_;
    bool freeOnClose_ = false;
    TNotifyImageDrawMethod drawMethod_;
    std::string url_;
    std::string text_;
    std::string title_;
    int32_t timeOut_;
    // The owner's pictures at the popup's DPI.
    Picture iconBitmap_;
    Picture backgroundImage_;
    int dpi_ = kDesignDpi;
    int32_t targetWidth_;
    int32_t targetHeight_;
    bool scrollAllowed_;
    bool linksAllowed_;
    TColor gradientColor1_;
    TColor gradientColor2_;
    TOrientation orientation_;
    uint8_t scrollSpeed_;
    // The owner's fonts, or at another DPI than 96 the copies below scaled for it.
    const TFont* font_;
    const TFont* hoverFont_;
    const TFont* titleFont_;
    TFont scaledFonts_[3];
    TTaskbarEdge taskbarEdge_ = EdgeUnknown;
    int16_t textCursor_;

    TMouseLabel lblText;
    TMouseLabel lblTitle;
    // In client coordinates; the panel under them all fills the client area.
    RECT pnlBorder = {0, 0, 0, 0};
    RECT imgGradient = {0, 0, 0, 0};
    RECT imgIcon = {0, 0, 0, 0};
    RECT imgStrip = {0, 0, 0, 0};
    UniqueGdiObject strip_;       // the "STRIP" bitmap, when the gradient is drawn
    UniqueGdiObject background_;  // panel, background and strip at full size
    UniqueGdiObject shown_;       // the background with the labels: what WM_PAINT copies
    UINT exitInterval_ = 10000;

    Part hovered_ = Part::None;
    Part pressed_ = Part::None;
    bool trackingLeave_ = false;
    // Messages of this window being handled now; a closed popup is destroyed when it is 0.
    int dispatchDepth_ = 0;
    bool closed_ = false;
    bool destroying_ = false;
};
