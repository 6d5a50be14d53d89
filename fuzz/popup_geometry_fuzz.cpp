// The notification popups' arithmetic on any screen, popup and setting the component allows: the
// stack's count stays within bounds, a popup slides in to exactly its place and out to nothing in
// a bounded number of steps with its taskbar side kept, and the integer helpers agree with exact
// arithmetic.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>

#include "components/notify_popup_rules.h"
#include "fuzz_check.h"

namespace {

// Screen coordinates as monitors are laid out, popup sizes, gaps and the slide's 1 to 50 pixels
// per step.
int32_t Coordinate(FuzzedDataProvider& input) {
    return input.ConsumeIntegralInRange<int32_t>(-(1 << 16), 1 << 16);
}
int32_t Length(FuzzedDataProvider& input) {
    return input.ConsumeIntegralInRange<int32_t>(0, 1 << 12);
}
TTaskbarEdge Edge(FuzzedDataProvider& input) {
    return TTaskbarEdge(input.ConsumeIntegralInRange<int32_t>(EdgeUnknown, EdgeBottom));
}

// The side of the popup next to the taskbar, which stays where it is while the popup slides.
int32_t TaskbarSide(TTaskbarEdge edge, const PopupBounds& b) {
    switch (edge) {
        case EdgeLeft:
            return b.left;
        case EdgeTop:
            return b.top;
        case EdgeRight:
            return b.left + b.width;
        case EdgeBottom:
        case EdgeUnknown:
            break;
    }
    return b.top + b.height;
}

int32_t SlidingSize(TTaskbarEdge edge, const PopupBounds& b) {
    return edge == EdgeTop || edge == EdgeBottom ? b.height : b.width;
}

void CheckSlides(FuzzedDataProvider& input) {
    const TTaskbarEdge edge = Edge(input);
    const ScreenRect workArea{Coordinate(input), Coordinate(input), Coordinate(input),
                              Coordinate(input)};
    const PopupLayout layout{Length(input), Length(input),
                             Length(input), Length(input),
                             Length(input), input.ConsumeIntegralInRange<int32_t>(1, 50)};
    const std::optional<PopupBounds> full = PopupPosition(edge, workArea, layout);
    FUZZ_CHECK(full.has_value() == (edge != EdgeUnknown));
    if (!full) {
        // Nothing slides: the first step stands the popup, or closes it, where it is.
        const PopupBounds at{Coordinate(input), Coordinate(input), Length(input), Length(input)};
        FUZZ_CHECK(SlideStart(edge, at) == at);
        const SlideStep in = SlideInStep(edge, at, workArea, layout);
        const SlideStep out = SlideOutStep(edge, at, layout.scrollSpeed);
        FUZZ_CHECK(in.finished && in.bounds == at);
        FUZZ_CHECK(out.finished && out.bounds == at);
        return;
    }
    FUZZ_CHECK(full->width == layout.width && full->height == layout.height);
    const int32_t size = SlidingSize(edge, *full);
    const int32_t speed = layout.scrollSpeed;

    PopupBounds at = SlideStart(edge, *full);
    FUZZ_CHECK(SlidingSize(edge, at) == 1);
    for (int32_t steps = 1;; ++steps) {
        FUZZ_CHECK(steps <= size / speed + 2);
        const SlideStep step = SlideInStep(edge, at, workArea, layout);
        if (step.finished) {
            FUZZ_CHECK(step.bounds == *full);
            break;
        }
        FUZZ_CHECK(SlidingSize(edge, step.bounds) == SlidingSize(edge, at) + speed);
        FUZZ_CHECK(SlidingSize(edge, step.bounds) < size);
        FUZZ_CHECK(TaskbarSide(edge, step.bounds) == TaskbarSide(edge, at));
        at = step.bounds;
    }

    at = *full;
    for (int32_t steps = 1;; ++steps) {
        FUZZ_CHECK(steps <= size / speed + 1);
        const SlideStep step = SlideOutStep(edge, at, speed);
        if (step.finished) {
            FUZZ_CHECK(step.bounds == at);
            FUZZ_CHECK(SlidingSize(edge, at) <= speed);
            break;
        }
        FUZZ_CHECK(SlidingSize(edge, step.bounds) == SlidingSize(edge, at) - speed);
        FUZZ_CHECK(SlidingSize(edge, step.bounds) > 0);
        FUZZ_CHECK(TaskbarSide(edge, step.bounds) == TaskbarSide(edge, at));
        at = step.bounds;
    }
}

// number × numerator / denominator rounded half away from zero, exactly.
__int128 ExactMulDiv(int32_t number, int32_t numerator, int32_t denominator) {
    __int128 product = __int128{number} * numerator;
    __int128 divisor = denominator;
    const bool negative = (product < 0) != (divisor < 0);
    product = product < 0 ? -product : product;
    divisor = divisor < 0 ? -divisor : divisor;
    const __int128 rounded = (2 * product + divisor) / (2 * divisor);
    return negative ? -rounded : rounded;
}

void CheckIntegerHelpers(FuzzedDataProvider& input) {
    const auto number = input.ConsumeIntegral<int32_t>();
    const auto numerator = input.ConsumeIntegral<int32_t>();
    const auto denominator = input.ConsumeIntegral<int32_t>();
    const int32_t mulDiv = MulDivRounded(number, numerator, denominator);
    if (denominator == 0) {
        FUZZ_CHECK(mulDiv == -1);
    } else {
        const __int128 exact = ExactMulDiv(number, numerator, denominator);
        const bool fits = exact <= std::numeric_limits<int32_t>::max() &&
                          exact >= -std::numeric_limits<int32_t>::max();
        FUZZ_CHECK(mulDiv == (fits ? exact : -1));
    }

    const auto n = input.ConsumeIntegralInRange<int32_t>(1, 1 << 12);
    const auto i = input.ConsumeIntegralInRange<int32_t>(0, n);
    const auto start = input.ConsumeIntegral<uint32_t>();
    const auto end = input.ConsumeIntegral<uint32_t>();
    const uint32_t color = GradientColorAt(i, n, start, end);
    FUZZ_CHECK(color <= 0xFFFFFF);
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t channel = (color >> shift) & 0xFF;
        const uint32_t from = (start >> shift) & 0xFF;
        const uint32_t to = (end >> shift) & 0xFF;
        FUZZ_CHECK(from <= to ? from <= channel && channel <= to
                              : to <= channel && channel <= from);
        FUZZ_CHECK(i != 0 || channel == from);
        FUZZ_CHECK(i != n || channel == to);
    }

    const auto outer = input.ConsumeIntegral<int32_t>();
    const auto inner = input.ConsumeIntegral<int32_t>();
    const int64_t twice = int64_t{outer} - inner;
    const int64_t centred = CenteredStart(outer, inner);
    // Checked wherever the result fits in 32 bits, that is for all but outer - inner = 2^32 - 1.
    if (twice <= 2 * int64_t{std::numeric_limits<int32_t>::max()}) {
        if (twice % 2 == 0) {
            FUZZ_CHECK(2 * centred == twice);
        } else {
            FUZZ_CHECK(2 * centred == twice - 1 || 2 * centred == twice + 1);
            FUZZ_CHECK(centred % 2 == 0);
        }
    }
}

// Popups shown (admitted, then placed) and closed in any order.
void CheckStack(FuzzedDataProvider& input) {
    NotificationStack stack;
    while (input.remaining_bytes() > 0) {
        const TTaskbarEdge before = stack.LastTaskbarEdge();
        const int32_t count = stack.PopupCount();
        if (input.ConsumeBool()) {
            stack.Closed();
            FUZZ_CHECK(stack.PopupCount() == (count > 0 ? count - 1 : 0));
            continue;
        }
        const TTaskbarEdge edge = Edge(input);
        const ScreenRect workArea{Coordinate(input), Coordinate(input), Coordinate(input),
                                  Coordinate(input)};
        const int32_t height = Length(input);
        const int32_t startY = input.ConsumeIntegralInRange<int32_t>(0, 255);
        const bool fresh = edge != before || count == 0;
        const bool admitted = stack.Admit(edge, workArea, height, startY);
        FUZZ_CHECK(stack.LastTaskbarEdge() == edge);
        FUZZ_CHECK(admitted || !fresh);  // the first popup at an edge always stands
        FUZZ_CHECK(stack.PopupCount() == (admitted ? (fresh ? 1 : count + 1) : count));
        FUZZ_CHECK(edge != EdgeUnknown || stack.PopupCount() <= kMaxPopupsWithoutTaskbar);
        if (!admitted) {
            continue;
        }
        const int32_t offset = stack.StackOffset();
        const bool cascade = input.ConsumeBool();
        const int32_t marge = input.ConsumeIntegralInRange<int32_t>(0, 255);
        FUZZ_CHECK(stack.Place(edge, cascade, height, marge) == offset);
        FUZZ_CHECK(stack.StackOffset() == (!cascade              ? 0
                                           : edge == EdgeUnknown ? offset
                                                                 : offset + height + marge));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    CheckSlides(input);
    CheckIntegerHelpers(input);
    CheckStack(input);
    return 0;
}
