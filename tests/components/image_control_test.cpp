// Image controls, panels and labels in real windows: layout, painting over what lies under them,
// animation while visible, and the mouse events the windows' hover and click rules use.

#include "components/image_control.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "components/label.h"
#include "components/pixel_canvas.h"
#include "resource_ids.h"
#include "support/wine_test_fixture.h"
#include "ui/dpi.h"
#include "ui/font.h"
#include "ui/panel.h"

namespace {

constexpr COLORREF kGreen = RGB(0, 255, 0);

// A borderless top-level window with a pure green background, which no picture uses.
class GreenForm : public Window {
  public:
    explicit GreenForm(bool visible = true) {
        CreateForm(FormDescription("MurloxImageTestForm")
                       .Style(WS_POPUP | WS_CLIPCHILDREN)
                       .ExStyle(WS_EX_TOPMOST)
                       .At(20, 20)
                       .ClientSize(260, 260),
                   nullptr);
        if (visible) {
            ::ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
            ::UpdateWindow(hwnd());
        }
    }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_ERASEBKGND) {
            RECT client;
            ::GetClientRect(hwnd(), &client);
            const UniqueGdiObject green(::CreateSolidBrush(kGreen));
            ::FillRect(reinterpret_cast<HDC>(wParam), &client, static_cast<HBRUSH>(green.get()));
            return 1;
        }
        return Window::HandleMessage(message, wParam, lParam);
    }
};

// What the control draws, painted the way a transparent control above it would ask for it.
std::unique_ptr<PixelCanvas> Render(const Control& control) {
    const RECT bounds = control.Bounds();
    auto canvas = std::make_unique<PixelCanvas>(bounds.right - bounds.left,
                                                bounds.bottom - bounds.top, RGB(0, 0, 0));
    ::SendMessageA(control.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->dc()),
                   PRF_CLIENT);
    return canvas;
}

bool frameTimeOver = false;

void CALLBACK EndFrameTime(HWND, UINT, UINT_PTR, DWORD) {
    frameTimeOver = true;
}

// Pumps until the picture's frame would have given way to the next one and nothing else waits.
// A timer of this thread set now for the frame's delay fires after every timer that was due
// before it, the image's own among them: an animation that still ran would have moved on by then.
bool PumpPastFrame(const Picture& picture, int frame) {
    frameTimeOver = false;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, picture.FrameDelay(frame), &EndFrameTime);
    const bool over =
        PumpUntil([] { return frameTimeOver && HIWORD(::GetQueueStatus(QS_ALLINPUT)) == 0; });
    ::KillTimer(nullptr, timer);
    return over;
}

LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

TEST(ImageControl, AutoSizeFitsEachNewPictureAndKeepsTheCorner) {
    GreenForm form;
    ImageControl image;
    image.Create(form.hwnd(), 56, 64, 10, 10);
    image.SetPicture(Picture::FromResource(IDR_CLOSE_WINDOW));
    EXPECT_EQ(image.Bounds().right, 66) << "without AutoSize the size stays";

    image.SetAutoSize(true);
    EXPECT_EQ(image.Bounds().left, 56);
    EXPECT_EQ(image.Bounds().top, 64);
    EXPECT_EQ(image.Bounds().right, 56 + 17);
    EXPECT_EQ(image.Bounds().bottom, 64 + 25);

    image.SetPicture(Picture::FromResource(IDR_SIGN_IN));
    const RECT bounds = image.Bounds();
    EXPECT_EQ(bounds.left, 56);
    EXPECT_EQ(bounds.top, 64);
    EXPECT_EQ(bounds.right, 56 + 119);
    EXPECT_EQ(bounds.bottom, 64 + 119);
}

TEST(ImageControl, APictureSmallerThanTheControlSitsAtTheCornerOrCentred) {
    GreenForm form;
    ImageControl image;
    image.Create(form.hwnd(), 10, 10, 40, 50);
    image.SetPicture(Picture::FromResource(IDR_CLOSE_WINDOW));  // 17 x 25, opaque

    auto canvas = Render(image);
    EXPECT_NE(canvas->Pixel(0, 0), kGreen);
    EXPECT_EQ(canvas->Pixel(17, 0), kGreen) << "the form's background shows beside the picture";
    EXPECT_EQ(canvas->CountPixels(kGreen), 40 * 50 - 17 * 25);

    // (40 - 17) / 2 = 11 and (50 - 25) / 2 = 12.
    image.SetCenter(true);
    canvas = Render(image);
    EXPECT_EQ(canvas->Pixel(10, 12), kGreen);
    EXPECT_EQ(canvas->Pixel(11, 11), kGreen);
    EXPECT_NE(canvas->Pixel(11, 12), kGreen);
    EXPECT_NE(canvas->Pixel(27, 36), kGreen);
    EXPECT_EQ(canvas->Pixel(28, 36), kGreen);
    EXPECT_EQ(canvas->Pixel(27, 37), kGreen);
}

TEST(ImageControl, TransparentPixelsShowTheParentsBackground) {
    GreenForm form;
    ImageControl image;
    image.Create(form.hwnd(), 56, 64, 119, 119);
    image.SetPicture(Picture::FromResource(IDR_SIGN_IN));

    EXPECT_EQ(Render(image)->CountPixels(kGreen), 0) << "an opaque image hides the background";

    image.SetTransparent(true);
    const auto canvas = Render(image);
    EXPECT_EQ(canvas->Pixel(0, 0), kGreen);
    EXPECT_EQ(canvas->Pixel(118, 118), kGreen);
    EXPECT_NE(canvas->Pixel(59, 59), kGreen);
}

// The main window's sign-in image over its background picture, with its hover rule: moving over
// the image shows the hover picture, moving over the background the normal one again.
class ImageControlOverBackground : public ::testing::Test {
  protected:
    void SetUp() override {
        background.Create(form.hwnd(), 0, 0, 228, 232);
        background.SetPicture(backgroundPicture);
        signIn.Create(form.hwnd(), 56, 64, 119, 119);
        signIn.SetAutoSize(true);
        signIn.SetCenter(true);
        signIn.SetTransparent(true);
        signIn.SetButtonPictures(normal, hover);
        signIn.OnMouseMove = [this](POINT) { signIn.BeginHover(); };
        background.OnMouseMove = [this](POINT) { signIn.EndHover(); };
    }

    // The sign-in image as it should look: the background picture's part under it, then the
    // picture's opaque pixels.
    std::unique_ptr<PixelCanvas> Expected(const Picture& picture) const {
        auto canvas = std::make_unique<PixelCanvas>(119, 119, kGreen);
        backgroundPicture.Draw(canvas->dc(), -56, -64, 0, false);
        picture.Draw(canvas->dc(), 0, 0, 0, true);
        return canvas;
    }

    GreenForm form;
    const Picture backgroundPicture = Picture::FromResource(IDR_BACKGROUND_SMALL);
    const Picture normal = Picture::FromResource(IDR_SIGN_IN);
    const Picture hover = Picture::FromResource(IDR_SIGN_IN_OVER);
    ImageControl background;
    ImageControl signIn;
};

TEST_F(ImageControlOverBackground, TheLaterControlLiesOnTopAndTheEarlierShowsThroughIt) {
    POINT overlap = {100, 100};
    EXPECT_EQ(::ChildWindowFromPointEx(form.hwnd(), overlap, CWP_SKIPINVISIBLE), signIn.hwnd());
    const POINT difference = Render(signIn)->FirstDifference(*Expected(normal));
    EXPECT_EQ(difference.x, -1) << "first difference at " << difference.x << ", " << difference.y;
}

TEST_F(ImageControlOverBackground,
       MovingOverTheImageShowsTheHoverPictureUntilTheBackgroundIsReached) {
    ::SendMessageA(signIn.hwnd(), WM_MOUSEMOVE, 0, At(10, 10));
    EXPECT_EQ(signIn.Tag(), 1);
    EXPECT_EQ(Render(signIn)->FirstDifference(*Expected(hover)).x, -1);
    EXPECT_EQ(signIn.Bounds().right, 56 + 119);

    // Further moves over the image keep the hover picture.
    ::SendMessageA(signIn.hwnd(), WM_MOUSEMOVE, 0, At(60, 60));
    EXPECT_EQ(signIn.Tag(), 1);

    ::SendMessageA(background.hwnd(), WM_MOUSEMOVE, 0, At(5, 5));
    EXPECT_EQ(signIn.Tag(), 0);
    EXPECT_EQ(Render(signIn)->FirstDifference(*Expected(normal)).x, -1);
}

TEST_F(ImageControlOverBackground, TheScreenShowsTheSwappedPicture) {
    ::UpdateWindow(form.hwnd());
    ::SendMessageA(signIn.hwnd(), WM_MOUSEMOVE, 0, At(10, 10));
    ::UpdateWindow(signIn.hwnd());

    PixelCanvas screen(119, 119, RGB(0, 0, 0));
    HDC window = ::GetDC(signIn.hwnd());
    ::BitBlt(screen.dc(), 0, 0, 119, 119, window, 0, 0, SRCCOPY);
    ::ReleaseDC(signIn.hwnd(), window);
    EXPECT_EQ(screen.FirstDifference(*Expected(hover)).x, -1);
}

TEST(ImageControl, MouseMessagesRaiseTheEvents) {
    GreenForm form;
    ImageControl image;
    image.Create(form.hwnd(), 10, 10, 40, 40);
    std::vector<std::pair<MouseButton, POINT>> downs;
    std::vector<POINT> moves;
    int clicks = 0;
    image.OnMouseDown = [&](MouseButton button, POINT at) { downs.push_back({button, at}); };
    image.OnMouseMove = [&](POINT at) { moves.push_back(at); };
    image.OnClick = [&] { ++clicks; };

    ::SendMessageA(image.hwnd(), WM_MOUSEMOVE, 0, At(7, 8));
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].x, 7);
    EXPECT_EQ(moves[0].y, 8);

    ::SendMessageA(image.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 6));
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].first, MouseButton::Left);
    EXPECT_EQ(downs[0].second.x, 5);
    EXPECT_EQ(downs[0].second.y, 6);
    EXPECT_EQ(::GetCapture(), image.hwnd()) << "the release is seen wherever it happens";
    ::SendMessageA(image.hwnd(), WM_LBUTTONUP, 0, At(20, 20));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(::GetCapture(), nullptr);

    // Released outside the control: no click.
    ::SendMessageA(image.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 6));
    ::SendMessageA(image.hwnd(), WM_LBUTTONUP, 0, At(-3, 6));
    EXPECT_EQ(clicks, 1);

    // The right button presses, but never clicks.
    ::SendMessageA(image.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, At(1, 2));
    ::SendMessageA(image.hwnd(), WM_RBUTTONUP, 0, At(1, 2));
    ASSERT_EQ(downs.size(), 3u);
    EXPECT_EQ(downs[2].first, MouseButton::Right);
    EXPECT_EQ(clicks, 1);

    // The second press of a double click is a mouse down without a second click.
    ::SendMessageA(image.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(5, 6));
    ::SendMessageA(image.hwnd(), WM_LBUTTONUP, 0, At(5, 6));
    EXPECT_EQ(downs.size(), 4u);
    EXPECT_EQ(clicks, 1);
}

TEST(ImageControl, AMouseDownThatTakesTheMouseAwayEndsTheClick) {
    GreenForm form;
    ImageControl image;
    image.Create(form.hwnd(), 10, 10, 40, 40);
    int clicks = 0;
    // As dragging the window by the image does before the system's move loop takes over.
    image.OnMouseDown = [](MouseButton, POINT) { ::ReleaseCapture(); };
    image.OnClick = [&] { ++clicks; };
    ::SendMessageA(image.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 6));
    ::SendMessageA(image.hwnd(), WM_LBUTTONUP, 0, At(5, 6));
    EXPECT_EQ(clicks, 0);
}

TEST(ImageControl, TheHandCursorIsShownOnlyWhenAsked) {
    GreenForm form;
    ImageControl image;
    image.Create(form.hwnd(), 10, 10, 40, 40);
    const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    const auto cursorOver = [&] {
        ::SendMessageA(image.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(image.hwnd()),
                       overClient);
        return ::GetCursor();
    };
    EXPECT_EQ(cursorOver(), ::LoadCursorA(nullptr, IDC_ARROW));
    image.SetHandCursor(true);
    EXPECT_EQ(cursorOver(), ::LoadCursorA(nullptr, IDC_HAND));
}

// The main window's animation: an animated image in a panel, shown while a sign-in runs.
TEST(ImageControl, AnAnimationPlaysOnlyWhileItCanBeSeen) {
    GreenForm form;
    Panel panel;
    panel.Create(form.hwnd(), 32, 56, 169, 137);
    ImageControl animation;
    animation.Create(panel.hwnd(), 52, 22, 60, 60);
    animation.SetAutoSize(true);
    animation.SetTransparent(true);
    panel.SetVisible(false);
    const Picture picture = Picture::FromResource(IDR_SIGNING_IN_ANIMATION);
    animation.SetPicture(picture);
    ASSERT_TRUE(PumpPastFrame(picture, 0));
    EXPECT_FALSE(animation.IsAnimating());
    EXPECT_EQ(animation.CurrentFrame(), 0);

    panel.SetVisible(true);
    EXPECT_TRUE(PumpUntil([&] { return animation.CurrentFrame() == 2; }));
    EXPECT_TRUE(animation.IsAnimating());

    // Hiding the panel does not tell the image; its next frame does.
    panel.SetVisible(false);
    EXPECT_TRUE(PumpUntil([&] { return !animation.IsAnimating(); }));
    const int stoppedAt = animation.CurrentFrame();
    ASSERT_TRUE(PumpPastFrame(picture, stoppedAt));
    EXPECT_EQ(animation.CurrentFrame(), stoppedAt);

    panel.SetVisible(true);
    EXPECT_TRUE(PumpUntil([&] { return animation.CurrentFrame() == (stoppedAt + 2) % 8; }));

    // Hiding the image itself stops it at once.
    animation.SetVisible(false);
    EXPECT_FALSE(animation.IsAnimating());
}

TEST(ImageControl, EachFrameIsDrawnInItsTurn) {
    GreenForm form;
    ImageControl animation;
    animation.Create(form.hwnd(), 0, 0, 60, 60);
    const Picture picture = Picture::FromResource(IDR_SIGNING_IN_ANIMATION);
    animation.SetPicture(picture);
    ASSERT_TRUE(PumpUntil([&] { return animation.CurrentFrame() == 3; }));
    animation.SetVisible(false);  // holds the frame still

    PixelCanvas expected(60, 60, kGreen);
    picture.Draw(expected.dc(), 0, 0, 3, false);
    EXPECT_EQ(Render(animation)->FirstDifference(expected).x, -1);

    animation.SetPicture(picture);
    EXPECT_EQ(animation.CurrentFrame(), 0) << "a new picture starts at its first frame";
}

// The animation panel's contents lie over the background picture, which shows through both the
// panel and the transparent parts of what it holds.
TEST(ImageControl, PanelAndLabelShowWhatLiesUnderThem) {
    GreenForm form;
    ImageControl background;
    background.Create(form.hwnd(), 0, 0, 228, 232);
    const Picture backgroundPicture = Picture::FromResource(IDR_BACKGROUND_SMALL);
    background.SetPicture(backgroundPicture);
    Panel panel;
    panel.Create(form.hwnd(), 32, 56, 169, 137);
    ImageControl animation;
    animation.Create(panel.hwnd(), 52, 22, 60, 60);
    animation.SetAutoSize(true);
    animation.SetTransparent(true);
    const Picture animationPicture = Picture::FromResource(IDR_SIGNING_IN_ANIMATION);
    animation.SetPicture(animationPicture);
    const UniqueGdiObject font = CreatePointFont("Verdana", 8, 0, SystemDpi());
    const COLORREF grey = ::GetSysColor(COLOR_BTNSHADOW);
    Label info;
    info.Create(panel.hwnd(), 48, 84, "Signing in...", static_cast<HFONT>(font.get()), grey);

    PixelCanvas underPanel(169, 137, kGreen);
    backgroundPicture.Draw(underPanel.dc(), -32, -56, 0, false);
    EXPECT_EQ(Render(panel)->FirstDifference(underPanel).x, -1);

    PixelCanvas underAnimation(60, 60, kGreen);
    backgroundPicture.Draw(underAnimation.dc(), -32 - 52, -56 - 22, 0, false);
    animationPicture.Draw(underAnimation.dc(), 0, 0, 0, true);
    EXPECT_EQ(Render(animation)->FirstDifference(underAnimation).x, -1);

    // The label is as large as its text, and only the text covers what is under it.
    const RECT bounds = info.Bounds();
    SIZE text = {};
    {
        HDC dc = ::GetDC(info.hwnd());
        const SelectedObject selected(dc, font.get());
        ::GetTextExtentPoint32A(dc, "Signing in...", 13, &text);
        ::ReleaseDC(info.hwnd(), dc);
    }
    EXPECT_EQ(bounds.left, 48);
    EXPECT_EQ(bounds.top, 84);
    EXPECT_EQ(bounds.right - bounds.left, text.cx);
    EXPECT_EQ(bounds.bottom - bounds.top, text.cy);
    PixelCanvas underLabel(text.cx, text.cy, kGreen);
    backgroundPicture.Draw(underLabel.dc(), -32 - 48, -56 - 84, 0, false);
    const auto label = Render(info);
    EXPECT_GT(label->CountPixels(grey), 0);
    EXPECT_EQ(label->Pixel(0, 0), underLabel.Pixel(0, 0));
}

}  // namespace
