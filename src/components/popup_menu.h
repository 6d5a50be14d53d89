#pragma once
// A popup menu shown at a screen point (the tray menu): its items with their captions, enabled
// state, default mark and handlers.

#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/destruction_notifier.h"
#include "ui/win_handles.h"

class TPopupMenu;

class TMenuItem {
  public:
    TMenuItem(const TMenuItem&) = delete;
    TMenuItem& operator=(const TMenuItem&) = delete;

    const std::string& Caption() const { return caption_; }
    bool IsSeparator() const { return separator_; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // The default item is drawn in bold. When several items are marked, the top-most one is the
    // menu's default item.
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);

    // Runs OnClick, as choosing the item does; a disabled item cannot be chosen and does nothing.
    void Click();
    std::function<void()> OnClick;

  private:
    friend class TPopupMenu;
    TMenuItem(TPopupMenu& menu, UINT command, std::string caption, bool separator)
        : menu_(menu), command_(command), caption_(std::move(caption)), separator_(separator) {}

    TPopupMenu& menu_;
    const UINT command_;
    const std::string caption_;
    const bool separator_;
    bool enabled_ = true;
    bool default_ = false;
};

class TPopupMenu : public DestructionNotifier {
  public:
    TPopupMenu();
    ~TPopupMenu() override;

    // Appends an item below the others; "&" marks the letter that chooses it by keyboard.
    TMenuItem& Add(const std::string& caption, std::function<void()> onClick);
    TMenuItem& AddSeparator();
    size_t Count() const { return items_.size(); }
    TMenuItem& Items(size_t index) { return *items_.at(index); }
    // The top-most item marked default, or none.
    TMenuItem* DefaultItem();

    // False keeps the menu from being opened by the parts that pop it up on their own (the tray
    // icon), and from having its default item run by them.
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool autoPopup) { autoPopup_ = autoPopup; }

    // The part that opened the menu last; cleared when that part is destroyed.
    DestructionNotifier* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(DestructionNotifier* component);

    // Shows the menu with its top-left corner at the screen point and returns when it has closed,
    // after the handler of the item chosen, if any, has run. The owner window receives the menu's
    // messages; it should be the foreground window, or the menu does not close when the user
    // clicks elsewhere.
    void Popup(HWND owner, int x, int y);

    HMENU Handle() const { return handle_.get(); }

  private:
    friend class TMenuItem;
    TMenuItem& Append(const std::string& caption, bool separator, std::function<void()> onClick);
    void UpdateDefaultItem();

    UniqueMenu handle_;
    std::vector<std::unique_ptr<TMenuItem>> items_;
    bool autoPopup_ = true;
    DestructionNotifier* popupComponent_ = nullptr;
};
