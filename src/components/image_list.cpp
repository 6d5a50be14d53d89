#include "components/image_list.h"

#include <commctrl.h>

#include <stdexcept>

void TIcon::Assign(const TIcon& source) {
    handle_ = UniqueIcon(source.Empty() ? nullptr : ::CopyIcon(source.Handle()));
}

TImageList::TImageList(int width, int height)
    : handle_(::ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 0, 4)) {
    if (!handle_) {
        throw std::runtime_error("Cannot create an image list.");
    }
}

int TImageList::Count() const {
    return ::ImageList_GetImageCount(handle_.get());
}

bool TImageList::AddMasked(HBITMAP bitmap, COLORREF maskColor) {
    return bitmap && ::ImageList_AddMasked(handle_.get(), bitmap, maskColor) >= 0;
}

bool TImageList::AddMaskedResource(const char* resourceName, COLORREF maskColor) {
    return AddMaskedImage(::GetModuleHandleA(nullptr), resourceName, 0, maskColor);
}

bool TImageList::AddMaskedFile(const std::string& path, COLORREF maskColor) {
    return AddMaskedImage(nullptr, path.c_str(), LR_LOADFROMFILE, maskColor);
}

bool TImageList::AddMaskedImage(HINSTANCE module, const char* name, UINT loadFlags,
                                COLORREF maskColor) {
    // A DIB section keeps the bitmap's own colours, so that the mask colour is found exactly
    // whatever the screen's depth.
    const UniqueGdiObject bitmap(
        ::LoadImageA(module, name, IMAGE_BITMAP, 0, 0, loadFlags | LR_CREATEDIBSECTION));
    return AddMasked(static_cast<HBITMAP>(bitmap.get()), maskColor);
}

bool TImageList::GetIcon(int index, TIcon& icon) const {
    icon.Reset(UniqueIcon(::ImageList_GetIcon(handle_.get(), index, ILD_NORMAL)));
    return !icon.Empty();
}
