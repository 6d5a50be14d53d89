#pragma once
// A bitmap in memory that tests draw on and read back pixel by pixel.

#include <windows.h>

#include <cstdint>

#include "ui/win_handles.h"

class PixelCanvas {
  public:
    PixelCanvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down, so row y is at bits_ + y * width
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<uint32_t*>(bits);
        dc_.reset(::CreateCompatibleDC(nullptr));
        previous_ = ::SelectObject(dc_.get(), bitmap_.get());
        Fill(fill);
    }
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;
    ~PixelCanvas() { ::SelectObject(dc_.get(), previous_); }

    HDC dc() const { return dc_.get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }

    void Fill(COLORREF color) {
        ::GdiFlush();
        for (int i = 0; i < width_ * height_; ++i) {
            bits_[i] = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
        }
    }

    COLORREF Pixel(int x, int y) const {
        ::GdiFlush();
        return Stored(x, y);
    }

    int CountPixels(COLORREF color) const {
        ::GdiFlush();
        int count = 0;
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                count += Stored(x, y) == color;
            }
        }
        return count;
    }

    // The coordinates of the first pixel that differs from other's (same size), or (-1, -1).
    POINT FirstDifference(const PixelCanvas& other) const {
        ::GdiFlush();
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if (Stored(x, y) != other.Stored(x, y)) {
                    return {x, y};
                }
            }
        }
        return {-1, -1};
    }

  private:
    COLORREF Stored(int x, int y) const {
        const uint32_t pixel = bits_[y * width_ + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }

    int width_;
    int height_;
    UniqueGdiObject bitmap_;
    UniqueDc dc_;
    HGDIOBJ previous_ = nullptr;
    uint32_t* bits_ = nullptr;
};
