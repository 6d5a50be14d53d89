#include "support/masked_bitmap.h"

#include "components/image_list.h"
#include "ui/win_handles.h"

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

bool AddMaskedBitmapFile(TImageList& list, int width, int height, const std::string& path,
                         COLORREF maskColor) {
    // A DIB section keeps the bitmap's own colours, so that the mask colour is found exactly
    // whatever the screen's depth.
    const UniqueGdiObject loaded(::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                              LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    const auto bitmap = static_cast<HBITMAP>(loaded.get());
    BITMAP info = {};
    if (!bitmap || !::GetObjectA(bitmap, sizeof(info), &info) || info.bmWidth < width ||
        info.bmHeight < height) {
        return false;
    }
    const UniqueDc source(::CreateCompatibleDC(nullptr));
    const SelectedObject selected(source.get(), bitmap);
    for (int left = 0; left + width <= info.bmWidth; left += width) {
        if (!list.Add(MaskedIcon(source.get(), left, width, height, maskColor))) {
            return false;
        }
    }
    return true;
}
