#pragma once
// The arithmetic of the notification popups, apart from their windows: which side the taskbar is
// on, whether another popup fits, where each stands, how it slides in and out, its gradient and
// the centring of its text.

#include <cstdint>
#include <optional>
#include <string_view>

// The address a notification carries until it is given a link of its own.
inline constexpr const char* PlaceholderUrl = "http://www.placeholder.invalid/";

// Whether a link from the service may be opened: an "http://" or "https://" address (in any
// case) with something after the scheme, blanks and control characters at both ends aside. The
// service is reached over plain HTTP, so anything else (a local program, "file:", a UNC path, any
// registered protocol) could start a program with one click.
bool IsWebAddress(std::string_view link);

// The side of the screen the taskbar is on; the values are those the component stores.
enum TTaskbarEdge : int32_t {
    EdgeUnknown = -1,
    EdgeLeft = 0,
    EdgeTop = 1,
    EdgeRight = 2,
    EdgeBottom = 3,
};

struct ScreenRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// A window's outer rectangle as its position and size.
struct PopupBounds {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;

    bool operator==(const PopupBounds& other) const {
        return left == other.left && top == other.top && width == other.width &&
               height == other.height;
    }
};

// The edge of a taskbar from the rectangle the shell reports; nothing reported is EdgeUnknown.
TTaskbarEdge TaskbarEdgeOf(const std::optional<ScreenRect>& taskbar);

// How many popups stand at once where no taskbar is found, so that nothing tells how many fit.
inline constexpr int32_t kMaxPopupsWithoutTaskbar = 10;

// The component's count of open popups and the height their stack has reached.
class NotificationStack {
  public:
    // Whether one more popup of the given height fits beside a taskbar at edge, in the work area;
    // counts it when it does. A taskbar that moved to another side starts the stack afresh.
    bool Admit(TTaskbarEdge edge, const ScreenRect& workArea, int32_t height, int32_t startY);
    // Takes the place of a popup just admitted and returns it (its PlacedOffset); a cascade
    // puts the next one a popup's height and the gap further from the taskbar.
    int32_t Place(TTaskbarEdge edge, bool cascade, int32_t height, int32_t marge);
    // A popup that freed itself.
    void Closed();

    int32_t PopupCount() const { return popupCount_; }
    int32_t StackOffset() const { return stackOffset_; }
    TTaskbarEdge LastTaskbarEdge() const { return lastTaskbarEdge_; }

  private:
    int32_t popupCount_ = 0;
    int32_t stackOffset_ = 0;
    TTaskbarEdge lastTaskbarEdge_ = EdgeLeft;
};

// What places a popup and slides it: its full size, the distances from the work area's edges,
// its place in the stack and the pixels per slide step.
struct PopupLayout {
    int32_t width = 0;
    int32_t height = 0;
    int32_t startX = 0;
    int32_t startY = 0;
    int32_t placedOffset = 0;
    int32_t scrollSpeed = 0;
};

// The full-size position of a popup at its place; nothing for an unknown edge, where the popup
// is not moved.
std::optional<PopupBounds> PopupPosition(TTaskbarEdge edge, const ScreenRect& workArea,
                                         const PopupLayout& layout);

// The sliver a sliding popup starts from, at the taskbar's side of its full-size bounds.
PopupBounds SlideStart(TTaskbarEdge edge, const PopupBounds& full);

struct SlideStep {
    PopupBounds bounds;
    bool finished = false;  // slid in completely, or (sliding out) to be closed
};

// One 25 ms step of sliding in; the last one puts the popup exactly at its full place. At an
// unknown edge a popup does not slide: the first step finishes without moving it, in and out.
SlideStep SlideInStep(TTaskbarEdge edge, const PopupBounds& current, const ScreenRect& workArea,
                      const PopupLayout& layout);
// One step of sliding out; finished when the popup would shrink to nothing, and then closes.
SlideStep SlideOutStep(TTaskbarEdge edge, const PopupBounds& current, int32_t scrollSpeed);

// number × numerator / denominator with a 64-bit product, rounded to the nearest integer with
// halves away from zero; -1 for a zero denominator or a result beyond 32 bits. The platform's
// MulDiv, which the gradient's colours depend on.
int32_t MulDivRounded(int32_t number, int32_t numerator, int32_t denominator);

// The colour (0x00BBGGRR) of line i of n of a gradient: each channel moves from the start
// colour's to the end colour's, kept to 8 bits.
uint32_t GradientColorAt(int32_t i, int32_t n, uint32_t startColor, uint32_t endColor);

// Where a piece of the given size starts when centred in the outer extent: half the difference,
// a half rounded to the even neighbour.
int32_t CenteredStart(int32_t outer, int32_t inner);
