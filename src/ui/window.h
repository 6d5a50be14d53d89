#pragma once
// The base of every window of the client: one window procedure binds the C++ object to its
// window when the window is created and hands each message to the object's HandleMessage.
//
// Life: the owner of a window destroys it explicitly (Destroy) while the object is whole, so that
// every message up to WM_NCDESTROY, WM_DESTROY included, reaches the derived class. A window
// that ends itself (the download window, the notification popups) is told OnFinalMessage after
// WM_NCDESTROY, the first moment at which the object may free itself.
//
// Notifications that the system sends to a parent about one of its native controls (WM_COMMAND,
// WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM, WM_MEASUREITEM) are reflected to the control's object, so
// a control owns its events and a form only wires them.

#include <windows.h>

// What a window looks like when it is created, each value set by name:
//   FormDescription("TfrmMain").Caption("MURLOX").Style(WS_POPUP).At(504, 287).ClientSize(226, 226)
struct FormDescription {
    constexpr explicit FormDescription(const char* windowClass) : className(windowClass) {}

    constexpr FormDescription Caption(const char* text) const {
        return With(&FormDescription::caption, text);
    }
    constexpr FormDescription Style(DWORD value) const {
        return With(&FormDescription::style, value);
    }
    constexpr FormDescription ExStyle(DWORD value) const {
        return With(&FormDescription::exStyle, value);
    }
    // CW_USEDEFAULT lets the system choose.
    constexpr FormDescription At(int x, int y) const {
        return With(&FormDescription::left, x).With(&FormDescription::top, y);
    }
    constexpr FormDescription ClientSize(int width, int height) const {
        return With(&FormDescription::clientWidth, width)
            .With(&FormDescription::clientHeight, height);
    }
    // A COLOR_* system colour for the window's background.
    constexpr FormDescription Background(int colorIndex) const {
        return With(&FormDescription::backgroundColorIndex, colorIndex);
    }

    const char* className;
    const char* caption = "";
    DWORD style = 0;
    DWORD exStyle = 0;
    int left = 0;
    int top = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    int backgroundColorIndex = COLOR_WINDOW;

  private:
    template <typename Field, typename Value>
    constexpr FormDescription With(Field FormDescription::*field, Value value) const {
        FormDescription changed = *this;
        changed.*field = value;
        return changed;
    }
};

class Window {
  public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    // A window still alive here is destroyed without reaching the derived class any more.
    virtual ~Window();

    // The object of one of the client's windows, or null for any other window.
    static Window* FromHandle(HWND hwnd);

    HWND hwnd() const { return hwnd_; }
    bool IsVisible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }
    void Show();
    void Hide() { ::ShowWindow(hwnd_, SW_HIDE); }
    void Destroy();

    // Forms with controls the user types into answer Tab, Shift+Tab, Enter and Esc.
    virtual bool WantsDialogKeys() const { return false; }

    // Modal runs go through ShowModal (ui/modal.h), which tests can answer.
    bool IsModal() const { return modal_; }
    int ModalResult() const { return modalResult_; }
    // Setting a result other than 0 ends a running modal loop.
    void SetModalResult(int result);
    // Hides the window; a modal one ends its modal loop as cancelled.
    void Close();
    // Shows the window, keeps the application's other windows disabled and dispatches messages
    // until a modal result is set or the program ends; hides the window and returns the result.
    int RunModalLoop();
    // Hides every window in a modal run and ends the run with the result.
    static void EndModalRuns(int result);

  protected:
    // Registers the description's class on first use and creates the window, owned by owner
    // (or, for a WS_CHILD style, as a child of it).
    void CreateForm(const FormDescription& form, HWND owner);

    // Handles one message; the default passes it to the system.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // After WM_NCDESTROY: the window is gone and no message will reach the object again.
    virtual void OnFinalMessage() {}

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    bool modal_ = false;
    int modalResult_ = 0;
};

// A child window's rectangle in its parent's client coordinates.
RECT BoundsInParent(HWND child);

// The top-left corner that centres a box of that size on the primary screen's work area (on the
// screen, should the system not tell the work area).
POINT CentredOnWorkArea(int width, int height);

// Passes a control notification to the object of the control it is about. Returns true, with
// the result, when the control handled it.
bool ReflectToControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
