#pragma once
// A top-level window with controls the user types into, used from the keyboard as a dialog box:
// Tab and Shift+Tab walk its controls in their creation order; Enter presses the focused push
// button and elsewhere reaches OnEnter, Esc reaches OnEscape; Ctrl+Tab and Ctrl+Shift+Tab switch
// the pages of its page control; and the focused control comes back when the window is activated
// or shown again.

#include <windows.h>

#include "ui/win_handles.h"
#include "ui/window.h"

class TabControl;

class DialogForm : public Window {
  public:
    bool PreTranslateMessage(MSG& message) override;

    // The controls are made at the first need: the first showing, or a caller that reads them. A
    // form that is never opened costs no controls, and the common controls library is not even
    // loaded for it.
    void EnsureControls();

    // Brings the shown form to the front with the focus on one of its controls, never on the bare
    // window, which no key could then move on.
    void Activate();
    // Runs the form modally, or brings it to the front when it is up already: a second request
    // for a window the user has open goes to the one open.
    void ShowModalOrActivate();

    // The font of the form's controls, Verdana 8 points unless a form chooses another.
    HFONT Font() const { return static_cast<HFONT>(font_.get()); }

  protected:
    // Makes the window only; its controls come with CreateControls.
    void CreateDialogForm(const FormDescription& form, HWND owner);
    virtual void CreateControls() = 0;
    // The control, once the form's controls are made: they are made at the first need.
    template <typename Control>
    Control& CreatedControl(Control& control) {
        EnsureControls();
        return control;
    }

    // The control that gets the focus when the window is next activated.
    void FocusOnActivate(HWND control) { focus_ = control; }
    // The page control that Ctrl+Tab switches.
    void SetPageControl(TabControl& pages) { pages_ = &pages; }

    // Enter anywhere in the form; the default does nothing.
    virtual void OnEnter() {}
    // Esc; the default is the close box.
    virtual void OnEscape() { ::SendMessageA(hwnd(), WM_CLOSE, 0, 0); }
    // The controls come before the form's FormShow, which fills them; focus rectangles and access
    // keys show as the last input asks, as in a dialog box.
    void BeforeFormShow() override;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The form's font for controls made from now on, at the new DPI.
    void DpiChanged(int oldDpi, int newDpi) override;

  private:
    // Gives the focus to the control that had it, or to the first one.
    void RestoreFocus();

    UniqueGdiObject font_;
    HWND focus_ = nullptr;
    TabControl* pages_ = nullptr;
    bool controlsCreated_ = false;
};
