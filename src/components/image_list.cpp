#include "components/image_list.h"

void TIcon::Assign(const TIcon& source) {
    handle_ = UniqueIcon(source.Empty() ? nullptr : ::CopyIcon(source.Handle()));
}

namespace {

// One cell of the bitmap as an icon: the mask has the pixels of maskColor set (transparent), and
// the colour image has them black, as icons are drawn.
UniqueIcon MaskedIcon(HDC source, int left, int width, int height, COLORREF maskColor) {
    HDC screen = ::GetDC(nullptr);
    UniqueGdiObject color(::CreateCompatibleBitmap(screen, width, height));
    ::ReleaseDC(nullptr, screen);
    UniqueGdiObject mask(::CreateBitmap(width, height, 1, 1, nullptr));
    const UniqueDc maskDc(::CreateCompatibleDC(source));
    const UniqueDc colorDc(::CreateCompatibleDC(source));
    {
        const SelectedObject selectedMask(maskDc.get(), mask.get());
        const SelectedObject selectedColor(colorDc.get(), color.get());
        // Copying to a monochrome bitmap sets exactly the pixels of the background colour.
        ::SetBkColor(source, maskColor);
        ::BitBlt(maskDc.get(), 0, 0, width, height, source, left, 0, SRCCOPY);
        ::BitBlt(colorDc.get(), 0, 0, width, height, source, left, 0, SRCCOPY);
        ::SetBkColor(colorDc.get(), RGB(0, 0, 0));
        ::SetTextColor(colorDc.get(), RGB(255, 255, 255));
        ::BitBlt(colorDc.get(), 0, 0, width, height, maskDc.get(), 0, 0, SRCAND);
    }
    ICONINFO info = {TRUE, 0, 0, static_cast<HBITMAP>(mask.get()),
                     static_cast<HBITMAP>(color.get())};
    return UniqueIcon(::CreateIconIndirect(&info));
}

}  // namespace

TImageList::TImageList(int width, int height) : width_(width), height_(height) {}

bool TImageList::AddMasked(HBITMAP bitmap, COLORREF maskColor) {
    BITMAP info = {};
    if (!bitmap || !::GetObjectA(bitmap, sizeof(info), &info) || info.bmWidth < width_ ||
        info.bmHeight < height_) {
        return false;
    }
    const UniqueDc source(::CreateCompatibleDC(nullptr));
    const SelectedObject selected(source.get(), bitmap);
    for (int left = 0; left + width_ <= info.bmWidth; left += width_) {
        UniqueIcon icon = MaskedIcon(source.get(), left, width_, height_, maskColor);
        if (!icon) {
            return false;
        }
        icons_.push_back(std::move(icon));
    }
    return true;
}

bool TImageList::AddMaskedResource(const char* resourceName, COLORREF maskColor) {
    return AddMaskedImage(::GetModuleHandleA(nullptr), resourceName, 0, maskColor);
}

bool TImageList::AddIconResource(int id) {
    UniqueIcon icon(static_cast<HICON>(::LoadImageA(
        ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, width_, height_, 0)));
    if (!icon) {
        return false;
    }
    icons_.push_back(std::move(icon));
    return true;
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
    const bool inList = index >= 0 && index < Count();
    icon.Reset(UniqueIcon(inList ? ::CopyIcon(icons_[index].get()) : nullptr));
    return !icon.Empty();
}
