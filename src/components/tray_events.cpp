#include "components/tray_events.h"

#include <algorithm>
#include <utility>

namespace {

bool MenuCanOpen(const TrayState& state) {
    return state.popupMenuSet && state.menuAutoPopup;
}

TrayReaction Reaction(std::vector<TrayStep> steps, bool clickPending) {
    TrayReaction reaction;
    reaction.steps = std::move(steps);
    reaction.clickPending = clickPending;
    return reaction;
}

TrayReaction ButtonReaction(TMouseButton button, TShiftFlag buttonShift,
                            std::vector<TrayStep> steps, bool clickPending) {
    TrayReaction reaction = Reaction(std::move(steps), clickPending);
    reaction.button = button;
    reaction.buttonShift = buttonShift;
    return reaction;
}

}  // namespace

TrayReaction ReactToTrayMouse(int32_t mouseMessage, const TrayState& state) {
    const bool pending = state.clickPending;
    if (!state.enabled) {
        return Reaction({}, pending);
    }
    switch (mouseMessage) {
        case kTrayMouseMove:
            return Reaction({TrayStep::RaiseMouseMove}, pending);
        case kTrayLeftButtonDown: {
            TrayReaction reaction = ButtonReaction(
                mbLeft, ssLeft, {TrayStep::RaiseMouseDown, TrayStep::SetClickPending}, true);
            if (state.leftPopup && MenuCanOpen(state)) {
                reaction.steps.push_back(TrayStep::OpenMenu);
            }
            return reaction;
        }
        case kTrayLeftButtonUp:
            if (pending) {
                return ButtonReaction(
                    mbLeft, ssLeft,
                    {TrayStep::ClearClickPending, TrayStep::RaiseClick, TrayStep::RaiseMouseUp},
                    false);
            }
            return ButtonReaction(mbLeft, ssLeft, {TrayStep::RaiseMouseUp}, false);
        case kTrayLeftButtonDblClk:
            // With the left button opening the menu, a double click must not also run an item.
            if (MenuCanOpen(state) && !state.leftPopup) {
                return Reaction({TrayStep::RaiseDblClick, TrayStep::ClickDefaultItem}, pending);
            }
            return Reaction({TrayStep::RaiseDblClick}, pending);
        case kTrayRightButtonDown:
            if (MenuCanOpen(state)) {
                return ButtonReaction(mbRight, ssRight,
                                      {TrayStep::RaiseMouseDown, TrayStep::OpenMenu}, pending);
            }
            return ButtonReaction(mbRight, ssRight, {TrayStep::RaiseMouseDown}, pending);
        case kTrayRightButtonUp:
            return ButtonReaction(mbRight, ssRight, {TrayStep::RaiseMouseUp}, pending);
        case kTrayMiddleButtonDown:
            return ButtonReaction(mbMiddle, ssMiddle, {TrayStep::RaiseMouseDown}, pending);
        case kTrayMiddleButtonUp:
            return ButtonReaction(mbMiddle, ssMiddle, {TrayStep::RaiseMouseUp}, pending);
        default:
            return Reaction({}, pending);
    }
}

std::array<char, kTrayTipSize> TrayTip(const std::string& hint, bool showHint) {
    std::array<char, kTrayTipSize> tip = {};
    if (showHint) {
        // The last byte stays zero: the shell needs the terminator.
        std::copy_n(hint.begin(), std::min(hint.size(), kTrayTipSize - 1), tip.begin());
    }
    return tip;
}

int32_t NextCycleIndex(int32_t cycleIndex, int32_t imageCount) {
    return cycleIndex < imageCount - 1 ? cycleIndex + 1 : 0;
}

std::optional<size_t> DefaultItemIndex(const std::vector<bool>& defaults) {
    const auto found = std::find(defaults.begin(), defaults.end(), true);
    if (found == defaults.end()) {
        return std::nullopt;
    }
    return static_cast<size_t>(found - defaults.begin());
}

uint32_t NextTrayAddRetryDelay(uint32_t delay) {
    constexpr uint32_t kFirst = 1000;
    constexpr uint32_t kLongest = 8000;
    return delay == 0 ? kFirst : std::min(2 * delay, kLongest);
}
