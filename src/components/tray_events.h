#pragma once
// What the tray icon decides without Windows: which events a mouse notification from the shell
// raises and in which order, the tooltip bytes handed to the shell, the animation step, the menu
// item that a double click runs and when a refused add is tried again.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/mouse_button.h"

// The shift keys and mouse buttons held during a mouse event.
enum TShiftFlag : uint8_t {
    ssShift = 1 << 0,
    ssAlt = 1 << 1,
    ssCtrl = 1 << 2,
    ssLeft = 1 << 3,
    ssRight = 1 << 4,
    ssMiddle = 1 << 5,
    ssDouble = 1 << 6,
};

// A set of TShiftFlag values.
class TShiftState {
  public:
    constexpr TShiftState() = default;
    constexpr TShiftState operator+(TShiftFlag flag) const {
        return TShiftState(static_cast<uint8_t>(flags_ | flag));
    }
    constexpr bool Contains(TShiftFlag flag) const { return (flags_ & flag) != 0; }
    constexpr bool operator==(TShiftState other) const { return flags_ == other.flags_; }
    constexpr bool operator!=(TShiftState other) const { return flags_ != other.flags_; }

  private:
    constexpr explicit TShiftState(uint8_t flags) : flags_(flags) {}

    uint8_t flags_ = 0;
};

// The mouse messages the shell reports for the icon, as the lParam of the callback message.
enum TrayMouseMessage : int32_t {
    kTrayMouseMove = 0x0200,
    kTrayLeftButtonDown = 0x0201,
    kTrayLeftButtonUp = 0x0202,
    kTrayLeftButtonDblClk = 0x0203,
    kTrayRightButtonDown = 0x0204,
    kTrayRightButtonUp = 0x0205,
    kTrayRightButtonDblClk = 0x0206,
    kTrayMiddleButtonDown = 0x0207,
    kTrayMiddleButtonUp = 0x0208,
    kTrayMiddleButtonDblClk = 0x0209,
};

// One thing the tray icon does for a notification.
enum class TrayStep : uint8_t {
    RaiseMouseMove,
    RaiseMouseDown,
    RaiseMouseUp,
    RaiseClick,
    RaiseDblClick,
    SetClickPending,
    ClearClickPending,
    OpenMenu,          // at the cursor
    ClickDefaultItem,  // the menu's top-most default item
};

// What the decision depends on besides the mouse message.
struct TrayState {
    bool enabled = true;
    bool leftPopup = false;
    bool clickPending = false;
    bool popupMenuSet = false;
    bool menuAutoPopup = false;  // of the popup menu, when one is set
};

struct TrayReaction {
    std::vector<TrayStep> steps;  // in the order they happen
    // The button of RaiseMouseDown and RaiseMouseUp, and the flag added to the keys' state for
    // them.
    TMouseButton button = mbLeft;
    TShiftFlag buttonShift = ssLeft;
    bool clickPending = false;  // ClickPending after the steps
};

// The reaction to the mouse message that the shell reported for the icon. The left button-down
// marks a click that the next left button-up completes, so that a double click (down, up,
// double-click, up) raises one click only. The menu opens on button-down.
TrayReaction ReactToTrayMouse(int32_t mouseMessage, const TrayState& state);

// NOTIFYICONDATA's szTip: the hint cut to 63 characters and zero-filled, or all zeros when the
// hint is not to be shown or is empty.
inline constexpr size_t kTrayTipSize = 64;
std::array<char, kTrayTipSize> TrayTip(const std::string& hint, bool showHint);

// The image index that the animation loads after the one at cycleIndex: the next image, or the
// first again after the last (also when the list has shrunk below cycleIndex or is empty).
int32_t NextCycleIndex(int32_t cycleIndex, int32_t imageCount);

// The top-most of the items marked as default (defaults[i] for item i), if any.
std::optional<size_t> DefaultItemIndex(const std::vector<bool>& defaults);

// Milliseconds until the next try of an add that the shell refused, after a wait of delay before
// this try (0 for the first refusal): one second, then twice the wait before, up to eight. A busy
// shell refuses only after a timeout of its own, which the thread spends waiting.
uint32_t NextTrayAddRetryDelay(uint32_t delay);
