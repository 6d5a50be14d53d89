#pragma once
// The base of every window of the client, its own classes and the system's controls alike: the
// object is bound to its window when the window is made (by the one window procedure of the
// client's classes, or by subclassing a system control) and gets each message in HandleMessage.
//
// Life: the owner of a window destroys it explicitly (Destroy) while the object is whole, so that
// every message up to WM_NCDESTROY, WM_DESTROY included, reaches the derived class. A window
// that ends itself (the download window, the notification popups) is told OnFinalMessage after
// WM_NCDESTROY, the first moment at which the object may free itself.
//
// Notifications that the system sends to a parent about one of its controls (WM_COMMAND,
// WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM, WM_MEASUREITEM) are reflected to the control's object
// (Reflect), so a control owns its events and a form only wires them.
//
// A message whose parameters carry a pointer (ui/pointer_messages.h) reaches the object only
// from the client's own thread: sent by another, it gets the system's handling alone, or none;
// posted by anyone, it is dropped in whichever loop takes it. WM_NCCREATE binds only the object
// the thread itself is creating.

#include <windows.h>

#include <functional>
#include <utility>

#include "ui/accessibility.h"
#include "ui/window_class.h"

// Modal results shared by the windows.
inline constexpr int kModalDone = 1;
inline constexpr int kModalFailed = 2;  // failed, or closed by the user
inline constexpr int kModalClosedByProgram = 100;

class Window {
  public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    // A window still alive here is destroyed without reaching the derived class any more.
    virtual ~Window();

    // The object of one of the client's windows or controls, or null for any other window.
    static Window* FromHandle(HWND hwnd);

    HWND hwnd() const { return hwnd_; }
    bool IsVisible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }
    // In the parent's client coordinates; a top-level window's on the screen.
    RECT Bounds() const;
    void Show();
    void Hide() { ::ShowWindow(hwnd_, SW_HIDE); }
    void Destroy();

    // A keyboard message for this top-level window or a control in it, before it is dispatched;
    // true when the window has handled it. Forms with controls answer their dialog keys here.
    virtual bool PreTranslateMessage(MSG& message);

    // Modal runs go through ShowModal (ui/modal.h), which tests can answer.
    int ModalResult() const { return modalResult_; }
    // Setting a result other than 0 ends a running modal loop.
    void SetModalResult(int result);
    // Hides the window; a modal one ends its modal loop as cancelled.
    void Close();

    // What a screen reader is told of the window: its role, name and press.
    void SetAccessible(AccessibleDescription description) { accessible_ = std::move(description); }
    const AccessibleDescription& Accessible() const { return accessible_; }

    // A notification about this window, reflected by its parent. True when handled; the default
    // handles none.
    virtual bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  protected:
    // Registers the description's class on first use and creates the window, owned by owner
    // (or, for a WS_CHILD style, as a child of it).
    void CreateForm(const FormDescription& form, HWND owner);
    // Takes the place Windows proposes for a new DPI, at the size of the client area scaled within
    // the frame the window really has, and scales every window inside.
    void MoveToDpi(int newDpi, const RECT& proposed);
    // Scales a top-level window's designed place and size for its monitor's DPI.
    void PlaceForDpi(const FormDescription& form, HWND owner);
    // Binds a window of a system class (a control) to this object: its messages reach
    // HandleMessage, whose default is then the class's own handling.
    void Subclass(HWND hwnd);

    // The window now stands on a screen of another DPI; its place and size are scaled already. A
    // control takes its font and pictures at the new DPI here, a form its own fonts.
    virtual void DpiChanged(int oldDpi, int newDpi);

    // Runs each time the program shows the window (not when it comes back with its owner), before
    // it appears: the one place where a window readies itself for the user.
    virtual void FormShow() {}
    // Runs just before FormShow; a dialog form makes its controls here.
    virtual void BeforeFormShow() {}

    // Handles one message; the default closes on WM_CLOSE, sets the screen cursor and passes the
    // rest to DefaultHandling.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The system's handling of the message: the class's own for a subclassed control.
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);
    // After WM_NCDESTROY: the window is gone and no message will reach the object again.
    virtual void OnFinalMessage() {}

  private:
    friend int RunModalLoop(Window& window);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    // Unbinds the object; the window lives on with the system's handling alone.
    void Detach();
    // A screen reader's question or press, answered for every window alike. True when handled.
    bool HandleAccessibility(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The DPI the frame of a top-level window is drawn at when the window stands at that DPI.
    int FrameDpi(int dpi) const;

    HWND hwnd_ = nullptr;
    bool subclassed_ = false;
    // The DPI the window was laid out for.
    int dpi_ = 96;
    // The frame follows the monitor's DPI, or keeps the system's.
    bool frameFollowsDpi_ = false;
    AccessibleDescription accessible_;
    bool modal_ = false;
    int modalResult_ = 0;
};

// The id of the next control made: ids tell the controls of one parent apart, and their order is
// the order of making, which Tab follows.
int NextControlId();

// The thread is answering a message that another thread sent and still waits for. The system
// tells only the outermost such message, so while its answer runs, the messages this thread sends
// itself count as that other thread's too: whatever opens a loop (a menu, a modal window, an
// exchange) in answer to one runs from a posted message of the client's own instead, or answers
// it first with ReplyMessage.
bool SentByAnotherThread();

// A child window's rectangle in its parent's client coordinates.
RECT BoundsInParent(HWND child);
