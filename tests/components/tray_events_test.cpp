// The tray icon's decisions: events per shell notification, the tooltip, the animation step and
// the default menu item.

#include "components/tray_events.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Steps = std::vector<TrayStep>;

TrayState WithMenu(bool leftPopup, bool autoPopup) {
    TrayState state;
    state.leftPopup = leftPopup;
    state.popupMenuSet = true;
    state.menuAutoPopup = autoPopup;
    return state;
}

// Every combination of the inputs besides Enabled.
std::vector<TrayState> AllEnabledStates() {
    std::vector<TrayState> states;
    for (int bits = 0; bits < 16; ++bits) {
        TrayState state;
        state.leftPopup = (bits & 1) != 0;
        state.clickPending = (bits & 2) != 0;
        state.popupMenuSet = (bits & 4) != 0;
        state.menuAutoPopup = (bits & 8) != 0;
        states.push_back(state);
    }
    return states;
}

constexpr int32_t kEveryMouseMessage[] = {
    kTrayMouseMove,       kTrayLeftButtonDown,    kTrayLeftButtonUp,      kTrayLeftButtonDblClk,
    kTrayRightButtonDown, kTrayRightButtonUp,     kTrayRightButtonDblClk, kTrayMiddleButtonDown,
    kTrayMiddleButtonUp,  kTrayMiddleButtonDblClk};

TEST(TrayEvents, DisabledIgnoresEveryNotificationAndKeepsAPendingClick) {
    for (TrayState state : AllEnabledStates()) {
        state.enabled = false;
        for (const int32_t message : kEveryMouseMessage) {
            const TrayReaction reaction = ReactToTrayMouse(message, state);
            EXPECT_TRUE(reaction.steps.empty()) << message;
            EXPECT_EQ(reaction.clickPending, state.clickPending) << message;
        }
    }
}

TEST(TrayEvents, MouseMoveRaisesOnlyMouseMove) {
    for (const TrayState& state : AllEnabledStates()) {
        const TrayReaction reaction = ReactToTrayMouse(kTrayMouseMove, state);
        EXPECT_EQ(reaction.steps, Steps{TrayStep::RaiseMouseMove});
        EXPECT_EQ(reaction.clickPending, state.clickPending);
    }
}

TEST(TrayEvents, LeftDownMarksAClickAndOpensTheMenuOnlyWithLeftPopupAndAnAutoPopupMenu) {
    for (const TrayState& state : AllEnabledStates()) {
        const TrayReaction reaction = ReactToTrayMouse(kTrayLeftButtonDown, state);
        Steps expected = {TrayStep::RaiseMouseDown, TrayStep::SetClickPending};
        if (state.leftPopup && state.popupMenuSet && state.menuAutoPopup) {
            expected.push_back(TrayStep::OpenMenu);
        }
        EXPECT_EQ(reaction.steps, expected);
        EXPECT_EQ(reaction.button, mbLeft);
        EXPECT_EQ(reaction.buttonShift, ssLeft);
        EXPECT_TRUE(reaction.clickPending);
    }
}

TEST(TrayEvents, LeftUpCompletesOnlyAPendingClickBeforeMouseUp) {
    TrayState pending;
    pending.clickPending = true;
    const TrayReaction completing = ReactToTrayMouse(kTrayLeftButtonUp, pending);
    EXPECT_EQ(completing.steps,
              (Steps{TrayStep::ClearClickPending, TrayStep::RaiseClick, TrayStep::RaiseMouseUp}));
    EXPECT_FALSE(completing.clickPending);
    EXPECT_EQ(completing.button, mbLeft);
    EXPECT_EQ(completing.buttonShift, ssLeft);

    const TrayReaction alone = ReactToTrayMouse(kTrayLeftButtonUp, TrayState{});
    EXPECT_EQ(alone.steps, Steps{TrayStep::RaiseMouseUp});
    EXPECT_FALSE(alone.clickPending);
}

TEST(TrayEvents, DoubleClickAsTheShellReportsItRaisesOneClickAndOneDoubleClick) {
    TrayState state = WithMenu(/*leftPopup=*/false, /*autoPopup=*/true);
    Steps all;
    for (const int32_t message :
         {kTrayLeftButtonDown, kTrayLeftButtonUp, kTrayLeftButtonDblClk, kTrayLeftButtonUp}) {
        const TrayReaction reaction = ReactToTrayMouse(message, state);
        all.insert(all.end(), reaction.steps.begin(), reaction.steps.end());
        state.clickPending = reaction.clickPending;
    }
    EXPECT_EQ(all,
              (Steps{TrayStep::RaiseMouseDown, TrayStep::SetClickPending,
                     TrayStep::ClearClickPending, TrayStep::RaiseClick, TrayStep::RaiseMouseUp,
                     TrayStep::RaiseDblClick, TrayStep::ClickDefaultItem, TrayStep::RaiseMouseUp}));
    EXPECT_FALSE(state.clickPending);
}

TEST(TrayEvents, DoubleClickRunsTheDefaultItemOnlyForAnAutoPopupMenuWithoutLeftPopup) {
    for (const TrayState& state : AllEnabledStates()) {
        const TrayReaction reaction = ReactToTrayMouse(kTrayLeftButtonDblClk, state);
        Steps expected = {TrayStep::RaiseDblClick};
        if (state.popupMenuSet && state.menuAutoPopup && !state.leftPopup) {
            expected.push_back(TrayStep::ClickDefaultItem);
        }
        EXPECT_EQ(reaction.steps, expected);
        EXPECT_EQ(reaction.clickPending, state.clickPending);
    }
}

TEST(TrayEvents, RightDownOpensAnAutoPopupMenuWhateverLeftPopupSays) {
    for (const TrayState& state : AllEnabledStates()) {
        const TrayReaction reaction = ReactToTrayMouse(kTrayRightButtonDown, state);
        Steps expected = {TrayStep::RaiseMouseDown};
        if (state.popupMenuSet && state.menuAutoPopup) {
            expected.push_back(TrayStep::OpenMenu);
        }
        EXPECT_EQ(reaction.steps, expected);
        EXPECT_EQ(reaction.button, mbRight);
        EXPECT_EQ(reaction.buttonShift, ssRight);
        EXPECT_EQ(reaction.clickPending, state.clickPending) << "a pending left click survives";
    }
}

TEST(TrayEvents, RightUpAndTheMiddleButtonRaiseTheirMouseEventOnly) {
    struct Row {
        int32_t message;
        TrayStep step;
        TMouseButton button;
        TShiftFlag flag;
    };
    const Row rows[] = {{kTrayRightButtonUp, TrayStep::RaiseMouseUp, mbRight, ssRight},
                        {kTrayMiddleButtonDown, TrayStep::RaiseMouseDown, mbMiddle, ssMiddle},
                        {kTrayMiddleButtonUp, TrayStep::RaiseMouseUp, mbMiddle, ssMiddle}};
    for (const Row& row : rows) {
        for (const TrayState& state : AllEnabledStates()) {
            const TrayReaction reaction = ReactToTrayMouse(row.message, state);
            EXPECT_EQ(reaction.steps, Steps{row.step}) << row.message;
            EXPECT_EQ(reaction.button, row.button) << row.message;
            EXPECT_EQ(reaction.buttonShift, row.flag) << row.message;
            EXPECT_EQ(reaction.clickPending, state.clickPending) << row.message;
        }
    }
}

TEST(TrayEvents, RightAndMiddleDoubleClicksAndOtherMessagesRaiseNothing) {
    const TrayState state = WithMenu(/*leftPopup=*/false, /*autoPopup=*/true);
    for (const int32_t message : {int32_t{kTrayRightButtonDblClk}, int32_t{kTrayMiddleButtonDblClk},
                                  int32_t{0x020A} /* wheel */, int32_t{0}, int32_t{0x0800}, -1}) {
        EXPECT_TRUE(ReactToTrayMouse(message, state).steps.empty()) << message;
    }
}

TEST(TrayEvents, ShiftStateCollectsFlags) {
    const TShiftState none;
    const TShiftState shiftLeft = none + ssShift + ssLeft;
    EXPECT_TRUE(shiftLeft.Contains(ssShift));
    EXPECT_TRUE(shiftLeft.Contains(ssLeft));
    EXPECT_FALSE(shiftLeft.Contains(ssCtrl));
    EXPECT_FALSE(none.Contains(ssShift));
    EXPECT_EQ(shiftLeft, none + ssLeft + ssShift);
    EXPECT_NE(shiftLeft, none + ssLeft);
}

std::string TipText(const std::array<char, kTrayTipSize>& tip) {
    return std::string(tip.data());
}

bool ZeroFrom(const std::array<char, kTrayTipSize>& tip, size_t first) {
    for (size_t i = first; i < tip.size(); ++i) {
        if (tip[i] != '\0') {
            return false;
        }
    }
    return true;
}

TEST(TrayTip, IsEmptyUnlessTheHintIsShown) {
    EXPECT_TRUE(ZeroFrom(TrayTip("MURLOX", false), 0));
    EXPECT_TRUE(ZeroFrom(TrayTip("", true), 0));
    EXPECT_TRUE(ZeroFrom(TrayTip("", false), 0));
}

TEST(TrayTip, ShownHintIsCopiedAndZeroFilled) {
    const auto tip = TrayTip("MURLOX", true);
    EXPECT_EQ(TipText(tip), "MURLOX");
    EXPECT_TRUE(ZeroFrom(tip, 6));

    const std::string ansi = "Caf\xE9 \xA9";
    EXPECT_EQ(TipText(TrayTip(ansi, true)), ansi);
}

TEST(TrayTip, LongHintsAreCutTo63Characters) {
    const std::string exact(63, 'x');
    EXPECT_EQ(TipText(TrayTip(exact, true)), exact);
    for (const size_t length : {64u, 65u, 200u}) {
        std::string hint(length, 'y');
        hint[62] = 'E';
        const auto tip = TrayTip(hint, true);
        EXPECT_EQ(TipText(tip), hint.substr(0, 63)) << length;
        EXPECT_EQ(tip[63], '\0') << length;
    }
}

TEST(CycleIndex, StepsThroughTheImagesAndWraps) {
    std::vector<int32_t> shown;
    int32_t index = 0;
    for (int tick = 0; tick < 5; ++tick) {
        shown.push_back(index);
        index = NextCycleIndex(index, 2);
    }
    EXPECT_EQ(shown, (std::vector<int32_t>{0, 1, 0, 1, 0}));
    EXPECT_EQ(NextCycleIndex(1, 3), 2);
    EXPECT_EQ(NextCycleIndex(2, 3), 0);
}

TEST(CycleIndex, OneEmptyOrShrunkListStartsAgainAtZero) {
    EXPECT_EQ(NextCycleIndex(0, 1), 0);
    EXPECT_EQ(NextCycleIndex(0, 0), 0);
    EXPECT_EQ(NextCycleIndex(5, 2), 0);
}

TEST(DefaultItem, IsTheTopMostMarkedItem) {
    EXPECT_EQ(DefaultItemIndex({false, false, true, false}), 2u);
    EXPECT_EQ(DefaultItemIndex({false, true, false, true, true}), 1u);
    EXPECT_EQ(DefaultItemIndex({true}), 0u);
    EXPECT_EQ(DefaultItemIndex({false, false}), std::nullopt);
    EXPECT_EQ(DefaultItemIndex({}), std::nullopt);
}

}  // namespace
