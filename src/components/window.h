#pragma once
// The base of every window of the client: one window procedure binds the C++ object to its
// window when the window is created and hands each message to the object's HandleMessage.

#include <windows.h>

// What a top-level window looks like when it is created.
struct FormDescription {
    const char* className;
    const char* caption;
    DWORD style;
    DWORD exStyle;
    int left;  // CW_USEDEFAULT lets the system choose
    int top;
    int clientWidth;
    int clientHeight;
    int backgroundColorIndex;  // a COLOR_* system colour for the window's background
};

class Window {
  public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }
    bool IsVisible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }
    void Show();
    void Hide() { ::ShowWindow(hwnd_, SW_HIDE); }

    // Modal runs go through ShowModal (components/modal.h), which tests can answer.
    bool IsModal() const { return modal_; }
    int ModalResult() const { return modalResult_; }
    // Setting a result other than 0 ends a running modal loop.
    void SetModalResult(int result);
    // Hides the window; a modal one ends its modal loop as cancelled.
    void Close();
    // Shows the window, keeps the application's other windows disabled and dispatches messages
    // until a modal result is set; hides the window and returns the result.
    int RunModalLoop();
    // Hides every window in a modal run and ends the run with the result.
    static void EndModalRuns(int result);

  protected:
    // Registers the description's class on first use and creates the window, owned by owner.
    void CreateForm(const FormDescription& form, HWND owner);

    // Handles one message; the default passes it to the system.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    bool modal_ = false;
    int modalResult_ = 0;
};
