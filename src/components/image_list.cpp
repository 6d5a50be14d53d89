#include "components/image_list.h"

void TIcon::Assign(const TIcon& source) {
    handle_ = UniqueIcon(source.Empty() ? nullptr : ::CopyIcon(source.Handle()));
}

TImageList::TImageList(int width, int height) : width_(width), height_(height) {}

bool TImageList::Add(UniqueIcon icon) {
    if (!icon) {
        return false;
    }
    icons_.push_back(std::move(icon));
    return true;
}

bool TImageList::AddIconResource(int id) {
    return Add(UniqueIcon(static_cast<HICON>(::LoadImageA(
        ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, width_, height_, 0))));
}

bool TImageList::GetIcon(int index, TIcon& icon) const {
    const bool inList = index >= 0 && index < Count();
    icon.Reset(UniqueIcon(inList ? ::CopyIcon(icons_[index].get()) : nullptr));
    return !icon.Empty();
}
