// The notification popups' arithmetic: edge, room, stack, slide, gradient and centring.

#include "components/notify_popup_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The main window's popups: 148 x 121, 16 from the side, 2 from the taskbar, 2 between them.
constexpr int32_t kWidth = 148;
constexpr int32_t kHeight = 121;
constexpr int32_t kStartX = 16;
constexpr int32_t kStartY = 2;
constexpr int32_t kMarge = 2;
constexpr int32_t kSpeed = 9;

ScreenRect WorkArea(int32_t right, int32_t bottom) {
    return {0, 0, right, bottom};
}

PopupLayout Layout(int32_t placedOffset) {
    return {kWidth, kHeight, kStartX, kStartY, placedOffset, kSpeed};
}

// Shows one popup as the component does; its full-size bounds, or nothing when refused.
std::optional<PopupBounds> Show(NotificationStack& stack, TTaskbarEdge edge, const ScreenRect& area,
                                bool cascade = true) {
    if (!stack.Admit(edge, area, kHeight, kStartY)) {
        return std::nullopt;
    }
    return PopupPosition(edge, area, Layout(stack.Place(edge, cascade, kHeight, kMarge)));
}

TEST(TaskbarEdgeOf, TellsTheSideFromTheRectangle) {
    const struct {
        std::optional<ScreenRect> taskbar;
        TTaskbarEdge edge;
    } cases[] = {
        {std::nullopt, EdgeUnknown},
        {ScreenRect{0, 0, 40, 768}, EdgeLeft},
        {ScreenRect{0, 0, 1024, 30}, EdgeTop},
        {ScreenRect{0, 767, 1024, 768}, EdgeBottom},  // a Wine virtual desktop's
        {ScreenRect{984, 0, 1024, 768}, EdgeRight},
        {ScreenRect{0, 0, 50, 50}, EdgeRight},  // square at the corner: none of the others
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TaskbarEdgeOf(c.taskbar), c.edge);
    }
}

TEST(NotificationStack, StacksAboveABottomTaskbarUntilTheWorkAreaIsFull) {
    NotificationStack stack;
    const ScreenRect area = WorkArea(1000, 740);
    std::vector<int32_t> tops;
    while (const auto bounds = Show(stack, EdgeBottom, area)) {
        EXPECT_EQ(bounds->left, 1000 - 164);
        EXPECT_EQ(bounds->width, kWidth);
        EXPECT_EQ(bounds->height, kHeight);
        tops.push_back(bounds->top);
    }
    // Offsets 0, 123 ... 615 fit; the seventh, at 738, is refused while six are open.
    EXPECT_EQ(tops, (std::vector<int32_t>{740 - 123, 740 - 246, 740 - 369, 740 - 492, 740 - 615,
                                          740 - 738}));
    EXPECT_EQ(stack.PopupCount(), 6);
    EXPECT_EQ(stack.StackOffset(), 738);

    // One closing makes room for nothing: the stack still grows from its highest place.
    stack.Closed();
    EXPECT_FALSE(Show(stack, EdgeBottom, area));
    // Once all have closed the next takes the first place again.
    for (int i = 0; i < 5; ++i) {
        stack.Closed();
    }
    stack.Closed();
    EXPECT_EQ(stack.PopupCount(), 0) << "never below 0";
    EXPECT_EQ(Show(stack, EdgeBottom, area)->top, 740 - 123);
}

TEST(NotificationStack, WithoutCascadeEveryPopupTakesTheFirstPlace) {
    NotificationStack stack;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(Show(stack, EdgeBottom, WorkArea(1000, 740), false)->top, 740 - 123);
        EXPECT_EQ(stack.StackOffset(), 0);
    }
}

TEST(NotificationStack, PlacesByEdgeAndRestartsWhenTheTaskbarMoves) {
    NotificationStack stack;
    const ScreenRect area{40, 30, 1000, 740};
    EXPECT_EQ(Show(stack, EdgeTop, area), (PopupBounds{1000 - 164, 30 + 2, kWidth, kHeight}));
    EXPECT_EQ(Show(stack, EdgeTop, area)->top, 30 + 2 + 123) << "below the first at a top taskbar";
    EXPECT_EQ(stack.PopupCount(), 2);

    EXPECT_EQ(Show(stack, EdgeLeft, area), (PopupBounds{40 + 16, 740 - 123, kWidth, kHeight}))
        << "moved: the stack starts afresh";
    EXPECT_EQ(stack.PopupCount(), 1);
    EXPECT_EQ(Show(stack, EdgeRight, area), (PopupBounds{1000 - 164, 740 - 123, kWidth, kHeight}));

    // An unknown edge never places and never grows the stack, and admits ten at once.
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(Show(stack, EdgeUnknown, area), std::nullopt);
    }
    EXPECT_EQ(stack.PopupCount(), 10);
    EXPECT_EQ(stack.StackOffset(), 0);
    EXPECT_FALSE(stack.Admit(EdgeUnknown, area, kHeight, kStartY))
        << "a hostile reply holds no more";
    stack.Closed();
    EXPECT_TRUE(stack.Admit(EdgeUnknown, area, kHeight, kStartY));
}

TEST(NotificationStack, ATopTaskbarRefusesBeyondTheWorkAreasBottom) {
    NotificationStack stack;
    const ScreenRect area = WorkArea(1000, 250);
    EXPECT_TRUE(Show(stack, EdgeTop, area));
    EXPECT_TRUE(Show(stack, EdgeTop, area));  // 123 + 121 + 2 = 246 <= 250
    EXPECT_FALSE(Show(stack, EdgeTop, area));
}

// Slides a popup in and out by the steps; the heights or widths it passes through.
std::vector<int32_t> Slide(TTaskbarEdge edge, const ScreenRect& area, PopupBounds* finalBounds) {
    const PopupLayout layout = Layout(123);
    const PopupBounds full = *PopupPosition(edge, area, layout);
    const bool vertical = edge == EdgeTop || edge == EdgeBottom;
    PopupBounds bounds = SlideStart(edge, full);
    std::vector<int32_t> sizes{vertical ? bounds.height : bounds.width};
    for (SlideStep step{bounds, false}; !step.finished;) {
        step = SlideInStep(edge, step.bounds, area, layout);
        bounds = step.bounds;
        sizes.push_back(vertical ? bounds.height : bounds.width);
    }
    EXPECT_EQ(bounds, full) << edge;
    *finalBounds = bounds;
    return sizes;
}

TEST(Slide, GrowsByTheSpeedAndEndsExactlyAtTheFullPlace) {
    const ScreenRect area{40, 30, 1000, 740};
    PopupBounds full;
    std::vector<int32_t> expected;
    for (int32_t h = 1; h < kHeight; h += kSpeed) {
        expected.push_back(h);
    }
    expected.push_back(kHeight);
    ASSERT_EQ(expected.size(), 15u) << "the sliver and 14 ticks";
    EXPECT_EQ(Slide(EdgeBottom, area, &full), expected);
    EXPECT_EQ(SlideStart(EdgeBottom, full),
              (PopupBounds{full.left, full.top + kHeight, kWidth, 1}));
    EXPECT_EQ(Slide(EdgeTop, area, &full), expected);
    EXPECT_EQ(SlideStart(EdgeTop, full), (PopupBounds{full.left, full.top, kWidth, 1}));
    EXPECT_EQ(Slide(EdgeLeft, area, &full).size(), 18u);
    EXPECT_EQ(Slide(EdgeRight, area, &full).back(), kWidth);
    EXPECT_EQ(SlideStart(EdgeRight, full), (PopupBounds{full.left + kWidth, full.top, 1, kHeight}));

    // Midway at a bottom or right taskbar the far edge stays where it started.
    const PopupBounds start = SlideStart(EdgeBottom, full);
    const SlideStep step = SlideInStep(EdgeBottom, start, area, Layout(123));
    EXPECT_EQ(step.bounds, (PopupBounds{start.left, start.top - 9, kWidth, 10}));
    EXPECT_FALSE(step.finished);
}

TEST(Slide, ShrinksByTheSpeedAndClosesOnTheFourteenthTick) {
    const PopupBounds full{836, 617, kWidth, kHeight};
    for (TTaskbarEdge edge : {EdgeBottom, EdgeTop}) {
        PopupBounds bounds = full;
        int ticks = 0;
        for (SlideStep step{bounds, false}; !step.finished; ++ticks) {
            bounds = step.bounds;
            step = SlideOutStep(edge, bounds, kSpeed);
        }
        EXPECT_EQ(ticks, 14) << edge;
        EXPECT_EQ(bounds.height, 4) << edge;
        EXPECT_EQ(bounds.top, edge == EdgeBottom ? 617 + 117 : 617) << edge;
    }
    EXPECT_EQ(SlideOutStep(EdgeRight, full, kSpeed).bounds, (PopupBounds{845, 617, 139, kHeight}));
    EXPECT_EQ(SlideOutStep(EdgeLeft, full, kSpeed).bounds, (PopupBounds{836, 617, 139, kHeight}));
    for (const SlideStep& step : {SlideOutStep(EdgeUnknown, full, kSpeed),
                                  SlideInStep(EdgeUnknown, full, WorkArea(1000, 740), Layout(0))}) {
        EXPECT_EQ(step.bounds, full);
        EXPECT_TRUE(step.finished) << "it stands at once and, once its time is up, closes";
    }
}

TEST(MulDivRounded, RoundsHalvesAwayFromZeroLikeThePlatform) {
    const struct {
        int32_t a, b, c, result;
    } cases[] = {
        {1, 1, 2, 1},
        {3, 1, 2, 2},
        {-1, 1, 2, -1},
        {1, -3, 2, -2},
        {5, 1, -2, -3},
        {-5, -1, -2, -3},
        {1, 1, 3, 0},
        {2, 1, 3, 1},
        {0, -7, 3, 0},
        {7, 0, -3, 0},
        {60, -102, 112, -55},
        {1, 1, 0, -1},
        {0x40000000, 4, 1, -1},
        {-0x7FFFFFFF, 1, 1, -0x7FFFFFFF},
        {0x10000, 0x10000, 0x10000, 0x10000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MulDivRounded(c.a, c.b, c.c), c.result) << c.a << " " << c.b << " " << c.c;
    }
}

TEST(GradientColorAt, RunsFromTheStartToTheEndColourPerChannel) {
    // 0xFFCC99 to white over 112 lines: blue stays, green and red climb.
    EXPECT_EQ(GradientColorAt(0, 112, 0xFFCC99, 0xFFFFFF), 0xFFCC99u);
    EXPECT_EQ(GradientColorAt(112, 112, 0xFFCC99, 0xFFFFFF), 0xFFFFFFu);
    // green 204 + MulDiv(56, 51, 112) = 204 + 26 (25.5 away from zero); red 153 + 51.
    EXPECT_EQ(GradientColorAt(56, 112, 0xFFCC99, 0xFFFFFF), 0xFFE6CCu);
    // Falling channels round their halves away from zero too: 255 + MulDiv(1, -255, 2) = 127.
    EXPECT_EQ(GradientColorAt(1, 2, 0x0000FF, 0x000000), 0x00007Fu);
    // A zero length gives MulDiv's -1, kept to 8 bits, as the platform draws it.
    EXPECT_EQ(GradientColorAt(0, 0, 0x000000, 0x000000), 0xFFFFFFu);
    EXPECT_EQ(GradientColorAt(0, 0, 0xFFFFFF, 0xFFFFFF), 0xFEFEFEu);
}

TEST(CenteredStart, RoundsHalvesToTheEvenNeighbour) {
    const struct {
        int32_t outer, inner, start;
    } cases[] = {
        {142, 100, 21}, {142, 101, 20}, {142, 103, 20}, {142, 105, 18}, {142, 107, 18},
        {10, 13, -2},   {10, 11, 0},    {10, 15, -2},   {0, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CenteredStart(c.outer, c.inner), c.start) << c.outer << " " << c.inner;
    }
}

}  // namespace
