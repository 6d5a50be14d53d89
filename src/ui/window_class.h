#pragma once
// A window class of the client's: registered when the object is made, unregistered when it goes.

#include <windows.h>

#include <string>

// What a window looks like when it is created, each value set by name:
//   FormDescription("TfrmMain").Caption("MURLOX").Style(WS_POPUP).At(504, 287).ClientSize(226, 226)
// Places and sizes are 96-dpi values, which the window layer scales: a top-level window's for its
// monitor, a child's for its parent's.
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
    // In the middle of the primary screen's work area, wherever At says.
    constexpr FormDescription Centred() const {
        return With(&FormDescription::centring, Centring::WorkArea);
    }
    // In the middle of its owner, shown or hidden; of the work area without one.
    constexpr FormDescription CentredOnOwner() const {
        return With(&FormDescription::centring, Centring::Owner);
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
    enum class Centring { None, WorkArea, Owner };
    Centring centring = Centring::None;

  private:
    template <typename Field, typename Value>
    constexpr FormDescription With(Field FormDescription::*field, Value value) const {
        FormDescription changed = *this;
        changed.*field = value;
        return changed;
    }
};

class WindowClass {
  public:
    WindowClass(std::string name, int backgroundColorIndex, WNDPROC procedure);
    WindowClass(const WindowClass&) = delete;
    WindowClass& operator=(const WindowClass&) = delete;
    ~WindowClass();

    const char* Name() const { return name_.c_str(); }

    // The class a form names, registered at its first use; every class lives until the program
    // ends.
    static const WindowClass& For(const FormDescription& form, WNDPROC procedure);
    // Whether the window was made from one of these classes.
    static bool IsClientWindow(HWND hwnd);

  private:
    std::string name_;
    WNDPROC procedure_;
};
