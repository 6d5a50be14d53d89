#pragma once
// A child control that shows a picture: placed at its top-left corner or centred, opaque or
// transparent, optionally sized to the picture. An animated picture plays by its own frame delays
// while the control can be seen; its timer runs only then.

#include <windows.h>

#include "components/picture.h"
#include "ui/control.h"

// An image control's next frame of an animated picture.
inline constexpr UINT_PTR kPictureFrameTimer = 1;

class ImageControl : public Control {
  public:
    void Create(HWND parent, int left, int top, int width, int height);

    // Takes a copy of the picture and starts it at its first frame.
    void SetPicture(const Picture& picture);

    void SetCenter(bool center);
    // Transparent pixels of the picture show what lies under the control.
    void SetTransparent(bool transparent);
    // Keeps the control's size equal to its picture's; the top-left corner stays.
    void SetAutoSize(bool autoSize);

    // A picture button's two pictures, which may come before the control is made: the normal one
    // shows from then on.
    void SetButtonPictures(const Picture& normal, const Picture& hover);
    // The hover look of a picture button: the mouse moving over the control shows the hover
    // picture, the mouse moving over what lies around it the normal one again, each once. Tag()
    // tells which shows (0 normal, 1 hover), as the windows read it.
    void BeginHover();
    void EndHover();

    int CurrentFrame() const { return frame_; }
    // True while the frame timer runs.
    bool IsAnimating() const { return animating_; }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The picture again at the new DPI.
    void DpiChanged(int oldDpi, int newDpi) override;
    void PaintContent(HDC dc) override;
    bool CoversClientArea() const override;

  private:
    void ApplyAutoSize();
    void StartAnimation();
    void StopAnimation();
    void NextFrame();
    void Repaint();

    // The picture as set, and as shown at the control's DPI.
    Picture source_;
    Picture picture_;
    Picture normal_;
    Picture hover_;
    bool center_ = false;
    bool transparent_ = false;
    bool autoSize_ = false;
    int frame_ = 0;
    bool animating_ = false;
};
