#pragma once
// The system's edit, push button, check box and drop-down list, each raising its own events.

#include <functional>
#include <string>

#include "ui/native_control.h"

// A single-line edit with a flat, one-pixel border.
class Edit : public NativeControl {
  public:
    // A password edit shows "*" for every character.
    void Create(HWND parent, int left, int top, int width, int height, bool password = false);

    std::function<void()> OnChange;

    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

class PushButton : public NativeControl {
  public:
    void Create(HWND parent, int left, int top, int width, int height, const std::string& caption);

    std::function<void()> OnClick;

    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  protected:
    void CreateButton(HWND parent, DWORD style, int left, int top, int width, int height,
                      const std::string& caption);
};

// A check box whose caption may wrap. Setting the state from code raises OnClick when the state
// changes, as a click does, so a form's handler keeps dependent controls in step either way.
class CheckBox : public NativeControl {
  public:
    void Create(HWND parent, int left, int top, int width, int height, const std::string& caption,
                bool wrap = false);

    bool Checked() const;
    void SetChecked(bool checked);

    std::function<void()> OnClick;

    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// A drop-down list the user chooses from without typing. Setting the selection from code raises
// no event; the user's choice raises OnChange.
class DropDownList : public NativeControl {
  public:
    // height is the closed control's; the list opens below it for visibleItems entries.
    void Create(HWND parent, int left, int top, int width, int visibleItems);

    void AddItem(const std::string& text);
    int Count() const;
    std::string ItemText(int index) const;
    // -1 when nothing is selected.
    int ItemIndex() const;
    void SetItemIndex(int index);

    std::function<void()> OnChange;

    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  protected:
    // The open list takes the control's colours too.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
