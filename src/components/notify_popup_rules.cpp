#include "components/notify_popup_rules.h"

#include <cstdlib>
#include <limits>

#include "settings/text_convert.h"

namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsWebAddress(std::string_view link) {
    const std::string_view address = TrimBlanks(link);
    for (const std::string_view scheme :
         {std::string_view("http://"), std::string_view("https://")}) {
        if (StartsWithIgnoringCase(address, scheme)) {
            return address.size() > scheme.size();
        }
    }
    return false;
}

TTaskbarEdge TaskbarEdgeOf(const std::optional<ScreenRect>& taskbar) {
    if (!taskbar) {
        return EdgeUnknown;
    }
    const ScreenRect& r = *taskbar;
    if (r.left == r.top && r.bottom > r.right) {
        return EdgeLeft;
    }
    if (r.left == r.top && r.bottom < r.right) {
        return EdgeTop;
    }
    if (r.left < r.top) {
        return EdgeBottom;
    }
    return EdgeRight;
}

bool NotificationStack::Admit(TTaskbarEdge edge, const ScreenRect& workArea, int32_t height,
                              int32_t startY) {
    if (edge != lastTaskbarEdge_) {
        lastTaskbarEdge_ = edge;
        popupCount_ = 0;
    }
    if (popupCount_ <= 0) {
        stackOffset_ = 0;
    } else {
        // int64_t: the sums of these 32-bit values cannot overflow.
        const int64_t offset = stackOffset_;
        bool refused = false;
        switch (lastTaskbarEdge_) {
            case EdgeTop:
                refused = offset + height + startY > workArea.bottom;
                break;
            case EdgeLeft:
            case EdgeRight:
            case EdgeBottom:
                refused = int64_t{workArea.bottom} - offset - height - startY < 0;
                break;
            case EdgeUnknown:
                // Nothing tells where the screen ends: a fixed number stand at once.
                refused = popupCount_ >= kMaxPopupsWithoutTaskbar;
                break;
        }
        if (refused) {
            return false;
        }
    }
    ++popupCount_;
    return true;
}

int32_t NotificationStack::Place(TTaskbarEdge edge, bool cascade, int32_t height, int32_t marge) {
    const int32_t placed = stackOffset_;
    if (!cascade) {
        stackOffset_ = 0;
    } else if (edge != EdgeUnknown) {
        stackOffset_ += height + marge;
    }
    return placed;
}

void NotificationStack::Closed() {
    if (popupCount_ > 0) {
        --popupCount_;
    }
}

std::optional<PopupBounds> PopupPosition(TTaskbarEdge edge, const ScreenRect& workArea,
                                         const PopupLayout& layout) {
    const int32_t w = layout.width;
    const int32_t h = layout.height;
    const int32_t fromBottom = workArea.bottom - layout.startY - h - layout.placedOffset;
    switch (edge) {
        case EdgeLeft:
            return PopupBounds{workArea.left + layout.startX, fromBottom, w, h};
        case EdgeTop:
            return PopupBounds{workArea.right - w - layout.startX,
                               workArea.top + layout.startY + layout.placedOffset, w, h};
        case EdgeRight:
        case EdgeBottom:
            return PopupBounds{workArea.right - w - layout.startX, fromBottom, w, h};
        case EdgeUnknown:
            break;
    }
    return std::nullopt;
}

namespace {

// What a slide changes at a known edge: the size across the taskbar, and whether the side next to
// the taskbar stays (left, top) or the far side does, so that the near one moves (right, bottom).
struct SlideAxis {
    int32_t PopupBounds::*size;
    int32_t PopupBounds::*position;
    bool farSideStays;
};

SlideAxis AxisOf(TTaskbarEdge edge) {
    const bool vertical = edge == EdgeTop || edge == EdgeBottom;
    return {vertical ? &PopupBounds::height : &PopupBounds::width,
            vertical ? &PopupBounds::top : &PopupBounds::left,
            edge == EdgeRight || edge == EdgeBottom};
}

}  // namespace

PopupBounds SlideStart(TTaskbarEdge edge, const PopupBounds& full) {
    PopupBounds start = full;
    if (edge != EdgeUnknown) {
        const SlideAxis axis = AxisOf(edge);
        if (axis.farSideStays) {
            start.*axis.position += start.*axis.size;
        }
        start.*axis.size = 1;
    }
    return start;
}

SlideStep SlideInStep(TTaskbarEdge edge, const PopupBounds& current, const ScreenRect& workArea,
                      const PopupLayout& layout) {
    // A popup placed without a known edge does not slide: it stands at once and, once its time is
    // up, closes at once.
    SlideStep step{current, edge == EdgeUnknown};
    if (edge == EdgeUnknown) {
        return step;
    }
    const SlideAxis axis = AxisOf(edge);
    const bool vertical = axis.size == &PopupBounds::height;
    const int32_t full = vertical ? layout.height : layout.width;
    PopupBounds& b = step.bounds;
    if (b.*axis.size + layout.scrollSpeed < full) {
        b.*axis.size += layout.scrollSpeed;
        if (axis.farSideStays) {
            b.*axis.position -= layout.scrollSpeed;
        }
        return step;
    }
    b.*axis.size = full;
    if (axis.farSideStays) {
        b.*axis.position = vertical
                               ? workArea.bottom - layout.startY - b.height - layout.placedOffset
                               : workArea.right - layout.startX - b.width;
    }
    step.finished = true;
    return step;
}

SlideStep SlideOutStep(TTaskbarEdge edge, const PopupBounds& current, int32_t scrollSpeed) {
    SlideStep step{current, edge == EdgeUnknown};
    if (edge == EdgeUnknown) {
        return step;
    }
    const SlideAxis axis = AxisOf(edge);
    PopupBounds& b = step.bounds;
    if (b.*axis.size - scrollSpeed > 0) {
        b.*axis.size -= scrollSpeed;
        if (axis.farSideStays) {
            b.*axis.position += scrollSpeed;
        }
    } else {
        step.finished = true;
    }
    return step;
}

int32_t MulDivRounded(int32_t number, int32_t numerator, int32_t denominator) {
    if (denominator == 0) {
        return -1;
    }
    int64_t product = int64_t{number} * numerator;
    int64_t divisor = denominator;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    const int64_t half = divisor / 2;
    const int64_t result = product >= 0 ? (product + half) / divisor : (product - half) / divisor;
    if (result > std::numeric_limits<int32_t>::max() ||
        result < -std::numeric_limits<int32_t>::max()) {
        return -1;
    }
    return static_cast<int32_t>(result);
}

uint32_t GradientColorAt(int32_t i, int32_t n, uint32_t startColor, uint32_t endColor) {
    uint32_t color = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int32_t start = static_cast<int32_t>((startColor >> shift) & 0xFF);
        const int32_t end = static_cast<int32_t>((endColor >> shift) & 0xFF);
        const uint32_t channel = static_cast<uint32_t>(start + MulDivRounded(i, end - start, n));
        color |= (channel & 0xFF) << shift;
    }
    return color;
}

int32_t CenteredStart(int32_t outer, int32_t inner) {
    const int64_t twice = int64_t{outer} - inner;  // twice the exact result
    const int64_t floor = twice >= 0 ? twice / 2 : -((-twice + 1) / 2);
    const bool half = (twice & 1) != 0;
    // A half goes to the even one of floor and floor + 1.
    return static_cast<int32_t>(half && (floor & 1) != 0 ? floor + 1 : floor);
}
