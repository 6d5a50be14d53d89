#pragma once
// The screen-sized bitmap file a wallpaper picture is stretched into where the desktop shows
// nothing but bitmaps.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Decoded pixels as they lie in memory: top-down rows, each stride bytes after the one before;
// pixels of pixelBytes bytes (3 or 4) whose first three are blue, green and red. A fourth byte is
// ignored, so a picture with transparency comes premultiplied, that is drawn over black.
struct PixelRows {
    const uint8_t* first = nullptr;
    int width = 0;
    int height = 0;
    ptrdiff_t stride = 0;
    int pixelBytes = 3;
};

// Where the stretch reads a picture's pixels, laid out as PixelRows lays them: read copies rows
// [first, first + count) to `to`, each stride bytes after the one before, and says false when they
// cannot be had. The stretch reads a few rows at a time, from two threads at once.
struct PictureSource {
    int width = 0;
    int height = 0;
    int pixelBytes = 3;
    std::function<bool(int first, int count, uint8_t* to, size_t stride)> read;
};

// A whole 24-bit BMP file (headers and bottom-up rows) of the picture stretched to width x height.
// Scaling is separable and filters with the Catmull-Rom cubic widened by the shrink factor, so
// that a smaller picture averages what it leaves out instead of skipping it. It works in strips of
// the output, so that beside the file it takes a few megabytes for any picture whose size
// MayDecodePicture allows, whatever its shape. Empty for an empty picture or size, a file past
// 1 GB, or when memory runs out.
// Empty as well when the source cannot be read.
std::vector<uint8_t> StretchedBmpFile(const PictureSource& picture, int width, int height);
std::vector<uint8_t> StretchedBmpFile(const PixelRows& picture, int width, int height);
