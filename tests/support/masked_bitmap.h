#pragma once
// Bitmaps whose pixels of one colour are transparent (the tray bitmaps' magenta corners), loaded
// into an image list as icons with that colour masked.

#include <windows.h>

#include <string>

class TImageList;

// Adds the .bmp file's images, one per width pixels from left to right and height pixels high,
// with the pixels of maskColor transparent; false when the bitmap cannot be loaded or is smaller
// than one image, or an icon cannot be made.
bool AddMaskedBitmapFile(TImageList& list, int width, int height, const std::string& path,
                         COLORREF maskColor);
