#pragma once
// The client's icon in the notification area of the taskbar: it turns the shell's mouse
// notifications into events, opens its popup menu at the mouse cursor and can animate the icon
// by stepping through the images of an image list on a timer.

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "components/image_list.h"
#include "components/popup_menu.h"
#include "components/tray_events.h"
#include "ui/destruction_notifier.h"
#include "ui/window.h"

// From the shell, for a mouse action over the tray icon: wParam is the icon's id, lParam the
// mouse message (WM_MOUSEMOVE, WM_RBUTTONDOWN, ...), which the tray icon only compares with the
// mouse messages it knows. The platform's first user message number plus 1024, that is 2048.
// Like every private message it may come from any program on the desktop, with any parameters.
inline constexpr UINT kTrayCallbackMessage = WM_USER + 1024;
// The same notice as the client posts it to itself, when the shell sent it from its own thread.
inline constexpr UINT kTrayDeferredCallbackMessage = WM_USER + 1025;
// The icon window's animation of the icon.
inline constexpr UINT_PTR kTrayCycleTimer = 1;
// The icon window's next try of an add that the shell refused.
inline constexpr UINT_PTR kTrayAddRetryTimer = 2;

// The class of that hidden top-level window, for tools that drive the tray from outside.
inline constexpr const char* kTrayIconWindowClass = "TTrayIconWindow";

using TNotifyEvent = std::function<void()>;
using TCycleEvent = std::function<void(int32_t Current)>;
// X and Y are the cursor's screen position when the event is raised.
using TMouseEvent =
    std::function<void(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y)>;
using TMouseMoveEvent = std::function<void(TShiftState Shift, int32_t X, int32_t Y)>;

class TTrayIcon : public DestructionNotifier {
  public:
    // The owner's window is the one the menu belongs to; it must exist when the menu opens.
    explicit TTrayIcon(Window& owner);
    ~TTrayIcon() override;

    // To be called once the owner has set the properties: updates the entry, then adds or
    // removes it as IconVisible says.
    void Loaded();

    // False: every mouse notification is ignored (no event, no menu).
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    // The owned icon shown in the tray. To show another image, copy it in and write
    // IconVisible false, then true.
    TIcon& Icon() { return icon_; }
    void SetIcon(const TIcon& icon);
    // Whether the icon was last added (true) or removed; every write adds or removes it.
    bool IconVisible() const { return iconVisible_; }
    void SetIconVisible(bool visible);
    // The tooltip, passed to the shell only while ShowHint is true.
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool showHint);
    // Not owned; the reference is cleared when the menu is destroyed.
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);
    // True: the left button opens the menu too, and a double click does not run its default item.
    bool LeftPopup() const { return leftPopup_; }
    void SetLeftPopup(bool leftPopup) { leftPopup_ = leftPopup; }
    // The animation's images; not owned, cleared when the list is destroyed.
    TImageList* IconList() const { return iconList_; }
    void SetIconList(TImageList* list);
    // True (re)starts the animation at image 0; it runs while CycleInterval is not 0.
    bool CycleIcons() const { return cycleIcons_; }
    void SetCycleIcons(bool cycle);
    // Milliseconds between animation steps.
    uint32_t CycleInterval() const { return cycleInterval_; }
    void SetCycleInterval(uint32_t milliseconds);
    // The image the next animation step loads.
    int32_t CycleIndex() const { return cycleIndex_; }
    // A left button-down waits for its button-up to become a click.
    bool ClickPending() const { return clickPending_; }

    // The record passed to the shell on every call.
    const NOTIFYICONDATAA& TrayData() const { return trayData_; }
    // The hidden window that receives the shell's notifications and the icon's timers.
    HWND Handle() const;

    // True when the shell accepted the call. An add that the shell refuses (a shell that is busy
    // at log-on, say) is tried again on a timer of the icon's window until the shell takes it or
    // the icon is removed; not when the shell has the icon already.
    virtual bool AddTrayEntry();
    virtual bool DeleteTrayEntry();
    virtual bool UpdateTrayEntry();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TCycleEvent OnCycle;  // after each animation step, with the index of the image just loaded
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

  protected:
    // Each raises its event when one is assigned.
    virtual void Click();
    virtual void DblClick();
    virtual void Cycle(int32_t Current);
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y);
    virtual void MouseMove(TShiftState Shift, int32_t X, int32_t Y);

    // The one call of the shell, true when it accepted the record; a shell that refuses what
    // Wine's never does can stand in for it.
    virtual bool ShellNotifyIcon(DWORD message, NOTIFYICONDATAA& data);

  private:
    class TrayWindow;

    // A timer of the hidden window in the class library's manner: it runs only while it is
    // enabled and its interval is not 0; a write that changes nothing leaves its period alone.
    class CycleTimer {
      public:
        explicit CycleTimer(HWND window) : window_(window) {}
        CycleTimer(const CycleTimer&) = delete;
        CycleTimer& operator=(const CycleTimer&) = delete;
        ~CycleTimer() { ::KillTimer(window_, kTrayCycleTimer); }
        void SetEnabled(bool enabled);
        void SetInterval(UINT milliseconds);

      private:
        void Update();

        HWND window_;
        bool enabled_ = false;
        UINT interval_ = 0;
    };

    LRESULT TrayMessageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void HandleMouse(int32_t mouseMessage);
    void OpenMenuAtCursor();
    void ClickDefaultMenuItem();
    void CycleTimerTick();
    void ScheduleAddRetry();
    void StopAddRetries();
    void AddRetryTimerTick();
    void PrepareTrayData();
    bool NotifyShell(DWORD message);

    Window& owner_;
    bool enabled_ = true;
    TIcon icon_;
    bool iconVisible_ = true;
    std::string hint_;
    bool showHint_ = false;
    TPopupMenu* popupMenu_ = nullptr;
    bool leftPopup_ = false;
    bool clickPending_ = false;
    std::unique_ptr<TrayWindow> window_;
    CycleTimer cycleTimer_;
    TImageList* iconList_ = nullptr;
    bool cycleIcons_ = false;
    uint32_t cycleInterval_ = 0;
    int32_t cycleIndex_ = 0;
    // The wait before the pending try of a refused add; 0 while none is pending.
    uint32_t addRetryDelay_ = 0;
    NOTIFYICONDATAA trayData_ = {};
};
