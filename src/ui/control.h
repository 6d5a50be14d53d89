#pragma once
// The base of the client's own child controls (images, panels, labels): bounds, visibility, a
// tag, mouse events, a hand cursor for links, and flicker-free painting over whatever lies under
// the control.
//
// Controls stack in creation order, as in a form designer: a later control of the same parent lies
// above an earlier one. What shows through a control where it draws nothing is its parent's
// background and the sibling controls below it, so a transparent picture over a background picture
// looks right.

#include <windows.h>

#include <functional>

#include "ui/mouse_button.h"
#include "ui/window.h"

class Control : public Window {
  public:
    ~Control() override;

    // In pixels, as measured: a control sized to its text or picture.
    void SetBounds(int left, int top, int width, int height);
    // Shows or hides the control without activating anything.
    void SetVisible(bool visible);
    // A top-level window's Show would also bring it to the foreground; a control uses SetVisible.
    void Show() = delete;

    // Free for the owner's use: the hover pictures keep their state here (0 normal, 1 hover).
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    // A control the keyboard reaches: Tab stops on it, Space and Enter click it, and it shows a
    // focus rectangle while it has the focus.
    void SetTabStop();

    // The hand pointer over the control, as links show.
    void SetHandCursor(bool hand) { handCursor_ = hand; }

    // Mouse positions are in the control's client coordinates. A click is a left button press
    // and release both on the control; a double click's second press is a mouse down only.
    std::function<void(MouseButton button, POINT position)> OnMouseDown;
    std::function<void(POINT position)> OnMouseMove;
    std::function<void()> OnClick;

  protected:
    // Creates the control as a visible child of parent, on top of its siblings.
    void CreateControl(const char* className, HWND parent, int left, int top, int width, int height,
                       DWORD extraStyle = 0);

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Draws the control's own content over what lies under it, in client coordinates.
    virtual void PaintContent(HDC dc) = 0;
    // True when PaintContent covers the whole client area, so that nothing under it is drawn.
    virtual bool CoversClientArea() const { return false; }

  private:
    void PaintTo(HDC dc);
    void PaintBuffered();
    bool HandleMouse(UINT message, LPARAM lParam);

    int tag_ = 0;
    bool handCursor_ = false;
    bool clickPending_ = false;
};

// Paints into dc, set up for control's client coordinates, what lies under control: its parent's
// background and client drawing, then the visible sibling windows below it, bottom first.
void PaintUnderlay(HWND control, HDC dc);
