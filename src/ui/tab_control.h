#pragma once
// The system's tab control holding pages of controls; only the active page shows. The tabs may be
// drawn by the owner.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/native_control.h"
#include "ui/window.h"

// One page: a white container over the tab control's display area, which the dialog keys walk
// into (Tab moves through its controls as if they were the form's).
class TabPage : public Window {
  public:
    void Create(HWND tabControl, const RECT& displayArea, const std::string& caption);
    const std::string& Caption() const { return caption_; }

  private:
    std::string caption_;
};

class TabControl : public NativeControl {
  public:
    // With ownerDraw, OnDrawTab paints each tab.
    void Create(HWND parent, int left, int top, int width, int height, bool ownerDraw);

    TabPage& AddPage(const std::string& caption);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    TabPage& Page(int index) { return *pages_.at(index); }
    int ActivePageIndex() const;
    // Shows that page and hides the others; raises no event.
    void SetActivePageIndex(int index);
    // The page step pages on from the active one, round the end, as the user's choice: raises
    // OnChange.
    void SelectNextPage(int step);

    std::function<void()> OnChange;
    // Draws tab index into the rectangle of the device context.
    std::function<void(int index, const RECT& rect, HDC dc)> OnDrawTab;

    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    void ShowActivePage();

    std::vector<std::unique_ptr<TabPage>> pages_;
};
