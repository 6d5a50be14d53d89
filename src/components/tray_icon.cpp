#include "components/tray_icon.h"

#include <algorithm>

#include "ui/message_pump.h"

namespace {

constexpr UINT kTrayIconId = 1;

// The record's first, ANSI form: the shell reads no fields of its later versions.
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the tray record is the 88-byte ANSI form");

// The shell broadcasts it to the top-level windows when the taskbar is (re)created, for example
// after the shell restarted and forgot every icon.
UINT TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageA("TaskbarCreated");
    return message;
}

TShiftState KeyShiftState() {
    TShiftState shift;
    if (::GetKeyState(VK_SHIFT) < 0) {
        shift = shift + ssShift;
    }
    if (::GetKeyState(VK_CONTROL) < 0) {
        shift = shift + ssCtrl;
    }
    if (::GetKeyState(VK_MENU) < 0) {
        shift = shift + ssAlt;
    }
    return shift;
}

POINT CursorPosition() {
    POINT at = {0, 0};
    ::GetCursorPos(&at);
    return at;
}

}  // namespace

// Top-level rather than message-only: the shell's "TaskbarCreated" and the session's end reach
// top-level windows only.
class TTrayIcon::TrayWindow : public Window {
  public:
    explicit TrayWindow(TTrayIcon& tray) : tray_(tray) {
        CreateForm(FormDescription(kTrayIconWindowClass).Style(WS_POPUP), nullptr);
    }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_TIMER && wParam == kTrayCycleTimer) {
            tray_.CycleTimerTick();
            return 0;
        }
        if (message == WM_TIMER && wParam == kTrayAddRetryTimer) {
            tray_.AddRetryTimerTick();
            return 0;
        }
        return tray_.TrayMessageProc(hwnd(), message, wParam, lParam);
    }

  private:
    TTrayIcon& tray_;
};

void TTrayIcon::CycleTimer::SetEnabled(bool enabled) {
    if (enabled != enabled_) {
        enabled_ = enabled;
        Update();
    }
}

void TTrayIcon::CycleTimer::SetInterval(UINT milliseconds) {
    if (milliseconds != interval_) {
        interval_ = milliseconds;
        Update();
    }
}

void TTrayIcon::CycleTimer::Update() {
    ::KillTimer(window_, kTrayCycleTimer);
    if (enabled_ && interval_ != 0) {
        ::SetTimer(window_, kTrayCycleTimer, interval_, nullptr);
    }
}

TTrayIcon::TTrayIcon(Window& owner)
    : owner_(owner), window_(std::make_unique<TrayWindow>(*this)), cycleTimer_(window_->hwnd()) {
    trayData_.cbSize = NOTIFYICONDATAA_V1_SIZE;
    trayData_.hWnd = window_->hwnd();
    trayData_.uID = kTrayIconId;
    trayData_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayData_.uCallbackMessage = kTrayCallbackMessage;
}

TTrayIcon::~TTrayIcon() {
    SetIconVisible(false);
    SetPopupMenu(nullptr);
    SetIconList(nullptr);
}

void TTrayIcon::Loaded() {
    UpdateTrayEntry();
    SetIconVisible(iconVisible_);
}

HWND TTrayIcon::Handle() const {
    return window_->hwnd();
}

void TTrayIcon::SetIcon(const TIcon& icon) {
    icon_.Assign(icon);
    UpdateTrayEntry();
}

void TTrayIcon::SetIconVisible(bool visible) {
    if (visible) {
        AddTrayEntry();
    } else {
        DeleteTrayEntry();
    }
}

void TTrayIcon::SetHint(const std::string& hint) {
    hint_ = hint;
    UpdateTrayEntry();
}

void TTrayIcon::SetShowHint(bool showHint) {
    showHint_ = showHint;
    UpdateTrayEntry();
}

void TTrayIcon::SetPopupMenu(TPopupMenu* menu) {
    SetReference(this, popupMenu_, menu);
}

void TTrayIcon::SetIconList(TImageList* list) {
    SetReference(this, iconList_, list);
}

void TTrayIcon::SetCycleIcons(bool cycle) {
    cycleIcons_ = cycle;
    if (cycle) {
        cycleIndex_ = 0;
    }
    cycleTimer_.SetEnabled(cycle);
}

void TTrayIcon::SetCycleInterval(uint32_t milliseconds) {
    cycleInterval_ = milliseconds;
    cycleTimer_.SetInterval(milliseconds);
}

bool TTrayIcon::AddTrayEntry() {
    iconVisible_ = true;
    const bool accepted = NotifyShell(NIM_ADD);
    // The shell refuses to add an icon it has: one it takes a change of is there.
    if (accepted || NotifyShell(NIM_MODIFY)) {
        StopAddRetries();
    } else {
        ScheduleAddRetry();
    }
    return accepted;
}

bool TTrayIcon::DeleteTrayEntry() {
    iconVisible_ = false;
    StopAddRetries();
    return NotifyShell(NIM_DELETE);
}

bool TTrayIcon::UpdateTrayEntry() {
    return NotifyShell(NIM_MODIFY);
}

bool TTrayIcon::NotifyShell(DWORD message) {
    PrepareTrayData();
    return ShellNotifyIcon(message, trayData_);
}

bool TTrayIcon::ShellNotifyIcon(DWORD message, NOTIFYICONDATAA& data) {
    return ::Shell_NotifyIconA(message, &data) != FALSE;
}

void TTrayIcon::ScheduleAddRetry() {
    addRetryDelay_ = NextTrayAddRetryDelay(addRetryDelay_);
    ::SetTimer(window_->hwnd(), kTrayAddRetryTimer, addRetryDelay_, nullptr);
}

void TTrayIcon::StopAddRetries() {
    addRetryDelay_ = 0;
    ::KillTimer(window_->hwnd(), kTrayAddRetryTimer);
}

void TTrayIcon::AddRetryTimerTick() {
    // One try per tick: a refusal sets the timer anew, with a longer wait.
    ::KillTimer(window_->hwnd(), kTrayAddRetryTimer);
    if (iconVisible_ && addRetryDelay_ != 0) {
        AddTrayEntry();
    }
}

void TTrayIcon::PrepareTrayData() {
    trayData_.hIcon = icon_.Handle();
    const auto tip = TrayTip(hint_, showHint_);
    std::copy(tip.begin(), tip.end(), trayData_.szTip);
}

void TTrayIcon::Click() {
    if (OnClick) {
        OnClick();
    }
}

void TTrayIcon::DblClick() {
    if (OnDblClick) {
        OnDblClick();
    }
}

void TTrayIcon::Cycle(int32_t Current) {
    if (OnCycle) {
        OnCycle(Current);
    }
}

void TTrayIcon::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
    if (OnMouseDown) {
        OnMouseDown(Button, Shift, X, Y);
    }
}

void TTrayIcon::MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
    if (OnMouseUp) {
        OnMouseUp(Button, Shift, X, Y);
    }
}

void TTrayIcon::MouseMove(TShiftState Shift, int32_t X, int32_t Y) {
    if (OnMouseMove) {
        OnMouseMove(Shift, X, Y);
    }
}

LRESULT TTrayIcon::TrayMessageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kTrayCallbackMessage || message == kTrayDeferredCallbackMessage) {
        // What a click opens (the menu, a modal window, an exchange) must not run inside a notice
        // the shell sent from its thread: it runs from a copy posted to the icon's window.
        if (message == kTrayCallbackMessage && SentByAnotherThread()) {
            ::PostMessageA(window, kTrayDeferredCallbackMessage, wParam, lParam);
        } else {
            HandleMouse(static_cast<int32_t>(lParam));
        }
        return 0;
    }
    if (message == WM_QUERYENDSESSION) {
        // Log-off and shutdown may go ahead.
        return 1;
    }
    if (message == TaskbarCreatedMessage()) {
        // The new shell knows no icons: bring ours back with its current image.
        if (iconVisible_) {
            AddTrayEntry();
        }
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

void TTrayIcon::HandleMouse(int32_t mouseMessage) {
    TrayState state;
    state.enabled = enabled_;
    state.leftPopup = leftPopup_;
    state.clickPending = clickPending_;
    state.popupMenuSet = popupMenu_ != nullptr;
    state.menuAutoPopup = popupMenu_ && popupMenu_->AutoPopup();
    const TrayReaction reaction = ReactToTrayMouse(mouseMessage, state);
    // The keys and the cursor are read anew for each event, as they are when it is raised.
    for (const TrayStep step : reaction.steps) {
        switch (step) {
            case TrayStep::RaiseMouseMove: {
                const POINT at = CursorPosition();
                MouseMove(KeyShiftState(), at.x, at.y);
                break;
            }
            case TrayStep::RaiseMouseDown: {
                const POINT at = CursorPosition();
                MouseDown(reaction.button, KeyShiftState() + reaction.buttonShift, at.x, at.y);
                break;
            }
            case TrayStep::RaiseMouseUp: {
                const POINT at = CursorPosition();
                MouseUp(reaction.button, KeyShiftState() + reaction.buttonShift, at.x, at.y);
                break;
            }
            case TrayStep::RaiseClick:
                Click();
                break;
            case TrayStep::RaiseDblClick:
                DblClick();
                break;
            case TrayStep::SetClickPending:
                clickPending_ = true;
                break;
            case TrayStep::ClearClickPending:
                clickPending_ = false;
                break;
            case TrayStep::OpenMenu:
                OpenMenuAtCursor();
                break;
            case TrayStep::ClickDefaultItem:
                ClickDefaultMenuItem();
                break;
        }
    }
}

void TTrayIcon::OpenMenuAtCursor() {
    POINT at;
    // Checked again here: the events raised before may have changed or destroyed the menu.
    if (!popupMenu_ || !popupMenu_->AutoPopup() || !::GetCursorPos(&at)) {
        return;
    }
    DispatchWaitingMessages();
    if (!popupMenu_) {
        return;
    }
    // A menu whose owner is not the foreground window stays open when the user clicks elsewhere.
    HWND owner = owner_.hwnd();
    ::SetForegroundWindow(owner);
    // The control that has the keyboard focus keeps it while the menu runs.
    if (HWND focused = ::GetFocus()) {
        ::SetFocus(focused);
    }
    popupMenu_->SetPopupComponent(this);
    popupMenu_->Popup(owner, at.x, at.y);
    // Lets the owner's thread run its message loop once more, so that the next click on the
    // icon opens the menu again (a known need of menus opened from the tray).
    ::PostMessageA(owner, WM_NULL, 0, 0);
}

void TTrayIcon::ClickDefaultMenuItem() {
    if (!popupMenu_) {
        return;
    }
    if (TMenuItem* item = popupMenu_->DefaultItem()) {
        item->Click();
    }
}

void TTrayIcon::CycleTimerTick() {
    if (!iconList_) {
        return;
    }
    iconList_->GetIcon(cycleIndex_, icon_);
    Cycle(cycleIndex_);
    UpdateTrayEntry();
    // The cycle handler may have taken the list away.
    cycleIndex_ = NextCycleIndex(cycleIndex_, iconList_ ? iconList_->Count() : 0);
}
