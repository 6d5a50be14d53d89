#include "components/popup_menu.h"

#include <stdexcept>

#include "components/tray_events.h"

void TMenuItem::SetEnabled(bool enabled) {
    enabled_ = enabled;
    ::EnableMenuItem(menu_.Handle(), command_, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void TMenuItem::SetDefault(bool isDefault) {
    default_ = isDefault;
    menu_.UpdateDefaultItem();
}

void TMenuItem::Click() {
    if (enabled_ && OnClick) {
        OnClick();
    }
}

TPopupMenu::TPopupMenu() : handle_(::CreatePopupMenu()) {
    if (!handle_) {
        throw std::runtime_error("Cannot create a menu.");
    }
}

TPopupMenu::~TPopupMenu() {
    SetPopupComponent(nullptr);
}

TMenuItem& TPopupMenu::Add(const std::string& caption, std::function<void()> onClick) {
    return Append(caption, false, std::move(onClick));
}

TMenuItem& TPopupMenu::AddSeparator() {
    return Append("", true, nullptr);
}

TMenuItem& TPopupMenu::Append(const std::string& caption, bool separator,
                              std::function<void()> onClick) {
    // Command 0 is what TrackPopupMenu returns when nothing was chosen; item i has command i + 1.
    const auto command = static_cast<UINT>(items_.size() + 1);
    if (!::AppendMenuA(handle_.get(), separator ? MF_SEPARATOR : MF_STRING, command,
                       separator ? nullptr : caption.c_str())) {
        throw std::runtime_error("Cannot add the menu item \"" + caption + "\".");
    }
    items_.push_back(std::unique_ptr<TMenuItem>(new TMenuItem(*this, command, caption, separator)));
    items_.back()->OnClick = std::move(onClick);
    return *items_.back();
}

TMenuItem* TPopupMenu::DefaultItem() {
    std::vector<bool> defaults;
    for (const auto& item : items_) {
        defaults.push_back(item->Default());
    }
    const auto index = DefaultItemIndex(defaults);
    return index ? items_[*index].get() : nullptr;
}

void TPopupMenu::UpdateDefaultItem() {
    const TMenuItem* item = DefaultItem();
    // (UINT)-1 takes the bold mark from every item.
    ::SetMenuDefaultItem(handle_.get(), item ? item->command_ : static_cast<UINT>(-1), FALSE);
}

void TPopupMenu::SetPopupComponent(DestructionNotifier* component) {
    SetReference(this, popupComponent_, component);
}

void TPopupMenu::Popup(HWND owner, int x, int y) {
    // The choice comes back as the result rather than as WM_COMMAND, so that the owner needs no
    // command handling and the handler runs before this returns.
    const UINT command = ::TrackPopupMenu(
        handle_.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, x, y, 0,
        owner, nullptr);
    if (command >= 1 && command <= items_.size()) {
        items_[command - 1]->Click();
    }
}
