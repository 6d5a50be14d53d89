// Pictures decoded with GDI+ from the program's resources and from files, and drawn onto
// bitmaps whose pixels are read back.

#include "components/picture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "components/pixel_canvas.h"
#include "resource_ids.h"
#include "ui/win_handles.h"

namespace {

// No picture of the client uses pure green, so it tells the background from the picture.
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);

// An animated GIF of 3 x 2 pixels: a red frame with a delay of 0, then a blue one of 25
// hundredths (written by ImageMagick: convert -delay 0 xc:red -delay 25 xc:blue).
const unsigned char kTwoFrameGif[] = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x03, 0x00, 0x02, 0x00, 0xf0, 0x00, 0x00, 0xff, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x21, 0xff, 0x0b, 0x4e, 0x45,
    0x54, 0x53, 0x43, 0x41, 0x50, 0x45, 0x32, 0x2e, 0x30, 0x03, 0x01, 0x00, 0x00, 0x00, 0x2c, 0x00,
    0x00, 0x00, 0x00, 0x03, 0x00, 0x02, 0x00, 0x00, 0x02, 0x02, 0x84, 0x5f, 0x00, 0x21, 0xf9, 0x04,
    0x00, 0x19, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x02, 0x00, 0x80, 0x00,
    0x00, 0xff, 0x00, 0x00, 0x00, 0x02, 0x02, 0x84, 0x5f, 0x00, 0x3b};

// A 24-bit BMP file with the given rows, top row first, as paint programs write them.
std::vector<unsigned char> BmpFile(const std::vector<std::vector<COLORREF>>& rows) {
    const int height = static_cast<int>(rows.size());
    const int width = static_cast<int>(rows[0].size());
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + stride * height;
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;  // bottom-up
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    std::vector<unsigned char> bytes(file.bfSize);
    std::memcpy(bytes.data(), &file, sizeof(file));
    std::memcpy(bytes.data() + sizeof(file), &info, sizeof(info));
    for (int y = 0; y < height; ++y) {
        unsigned char* row = bytes.data() + file.bfOffBits + (height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            row[x * 3] = GetBValue(rows[y][x]);
            row[x * 3 + 1] = GetGValue(rows[y][x]);
            row[x * 3 + 2] = GetRValue(rows[y][x]);
        }
    }
    return bytes;
}

std::string TemporaryFile(const void* data, size_t size) {
    char folder[MAX_PATH];
    char path[MAX_PATH];
    ::GetTempPathA(MAX_PATH, folder);
    ::GetTempFileNameA(folder, "pic", 0, path);
    FILE* file = std::fopen(path, "wb");
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    return path;
}

// The picture of the bytes, decoded from a file of them; the file goes whether it decodes or not.
Picture PictureFromBytes(const void* data, size_t size) {
    struct RemovedFile {
        std::string path;
        ~RemovedFile() { ::DeleteFileA(path.c_str()); }
    } file{TemporaryFile(data, size)};
    return Picture::FromFile(file.path);
}

struct ResourcePicture {
    int id;
    int width;
    int height;
    int frames;
};

TEST(Picture, EveryPictureOfTheResourcesLoadsAtItsSize) {
    const ResourcePicture pictures[] = {
        {IDR_BACKGROUND_SMALL, 228, 232, 1},
        {IDR_SIGN_IN, 119, 119, 1},
        {IDR_SIGN_IN_OVER, 119, 119, 1},
        {IDR_LOGO_ACTIVE, 76, 36, 1},
        {IDR_LOGO_INACTIVE, 76, 36, 1},
        {IDR_CLOSE_WINDOW, 17, 25, 1},
        {IDR_GO, 44, 44, 1},
        {IDR_GO_OVER, 44, 44, 1},
        {IDR_SET, 65, 50, 1},
        {IDR_SET_OVER, 65, 50, 1},
        {IDR_LOGO_SMALL, 76, 36, 1},
        {IDR_SIGNING_IN_ANIMATION, 60, 60, 8},
    };
    for (const ResourcePicture& expected : pictures) {
        SCOPED_TRACE("resource " + std::to_string(expected.id));
        const Picture picture = Picture::FromResource(expected.id);
        EXPECT_EQ(picture.Width(), expected.width);
        EXPECT_EQ(picture.Height(), expected.height);
        EXPECT_EQ(picture.FrameCount(), expected.frames);
        EXPECT_EQ(picture.IsAnimated(), expected.frames > 1);
    }
}

TEST(Picture, TheStripBitmapIsAResourceOfItsName) {
    const UniqueGdiObject strip(
        ::LoadImageA(::GetModuleHandleA(nullptr), "STRIP", IMAGE_BITMAP, 0, 0, 0));
    ASSERT_TRUE(strip);
    BITMAP bitmap = {};
    ::GetObjectA(strip.get(), sizeof(bitmap), &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 138);
    EXPECT_EQ(bitmap.bmHeight, 3);
}

TEST(Picture, TheSigningInAnimationShowsEightDifferentFramesOfATenthOfASecond) {
    const Picture animation = Picture::FromResource(IDR_SIGNING_IN_ANIMATION);
    PixelCanvas previous(60, 60, kGreen);
    animation.Draw(previous.dc(), 0, 0, animation.FrameCount() - 1, true);
    for (int frame = 0; frame < animation.FrameCount(); ++frame) {
        SCOPED_TRACE("frame " + std::to_string(frame));
        EXPECT_EQ(animation.FrameDelay(frame), 100);
        PixelCanvas current(60, 60, kGreen);
        animation.Draw(current.dc(), 0, 0, frame, true);
        EXPECT_NE(current.FirstDifference(previous).x, -1)
            << "the same picture as the frame before";
        previous.Fill(kGreen);
        animation.Draw(previous.dc(), 0, 0, frame, true);
    }
}

TEST(Picture, AFileGifPlaysItsFramesWithAZeroDelayCountedAsATenthOfASecond) {
    const std::string path = TemporaryFile(kTwoFrameGif, sizeof(kTwoFrameGif));
    const Picture picture = Picture::FromFile(path);
    ::DeleteFileA(path.c_str());

    ASSERT_EQ(picture.FrameCount(), 2);
    EXPECT_EQ(picture.Width(), 3);
    EXPECT_EQ(picture.Height(), 2);
    EXPECT_EQ(picture.FrameDelay(0), 100);
    EXPECT_EQ(picture.FrameDelay(1), 250);
    PixelCanvas canvas(3, 2, kGreen);
    picture.Draw(canvas.dc(), 0, 0, 0, false);
    EXPECT_EQ(canvas.CountPixels(kRed), 6);
    picture.Draw(canvas.dc(), 0, 0, 1, false);
    EXPECT_EQ(canvas.CountPixels(kBlue), 6);
    EXPECT_THROW(picture.FrameDelay(2), std::out_of_range);
    EXPECT_THROW(picture.Draw(canvas.dc(), 0, 0, -1, false), std::out_of_range);
}

TEST(Picture, TransparentGifPixelsKeepTheBackgroundOnlyWhenDrawnTransparent) {
    const Picture signIn = Picture::FromResource(IDR_SIGN_IN);
    PixelCanvas canvas(119, 119, kGreen);

    signIn.Draw(canvas.dc(), 0, 0, 0, true);
    EXPECT_EQ(canvas.Pixel(0, 0), kGreen) << "the corners lie outside the disc";
    EXPECT_EQ(canvas.Pixel(118, 118), kGreen);
    EXPECT_NE(canvas.Pixel(59, 59), kGreen);
    EXPECT_GT(canvas.CountPixels(kGreen), 0);

    canvas.Fill(kGreen);
    signIn.Draw(canvas.dc(), 0, 0, 0, false);
    EXPECT_EQ(canvas.CountPixels(kGreen), 0) << "opaque drawing covers every pixel";
}

TEST(Picture, ABmpIsTransparentWhereverItHasTheColourOfItsBottomLeftPixel) {
    // Blue at the bottom left, and once more at the top right.
    const std::vector<unsigned char> bmp =
        BmpFile({{kRed, kYellow, kBlue}, {kBlue, kRed, kYellow}});
    const Picture picture = PictureFromBytes(bmp.data(), bmp.size());
    PixelCanvas canvas(3, 2, kGreen);

    picture.Draw(canvas.dc(), 0, 0, 0, true);
    EXPECT_EQ(canvas.Pixel(0, 1), kGreen);
    EXPECT_EQ(canvas.Pixel(2, 0), kGreen);
    EXPECT_EQ(canvas.Pixel(0, 0), kRed);
    EXPECT_EQ(canvas.Pixel(1, 0), kYellow);
    EXPECT_EQ(canvas.Pixel(1, 1), kRed);
    EXPECT_EQ(canvas.Pixel(2, 1), kYellow);

    picture.Draw(canvas.dc(), 0, 0, 0, false);
    EXPECT_EQ(canvas.Pixel(0, 1), kBlue);
    EXPECT_EQ(canvas.Pixel(2, 0), kBlue);
}

TEST(Picture, TheNotificationLogoIsKeyedOnItsWhiteGround) {
    const Picture logo = Picture::FromResource(IDR_LOGO_SMALL);
    PixelCanvas canvas(76, 36, kGreen);
    logo.Draw(canvas.dc(), 0, 0, 0, true);
    EXPECT_EQ(canvas.CountPixels(RGB(255, 255, 255)), 0);
    EXPECT_EQ(canvas.Pixel(0, 35), kGreen);
    EXPECT_LT(canvas.CountPixels(kGreen), 76 * 36) << "the lettering stays";
}

TEST(Picture, DrawsAtAnOffsetAndCentredInARectangle) {
    const Picture closeMark = Picture::FromResource(IDR_CLOSE_WINDOW);  // 17 x 25, opaque
    PixelCanvas canvas(60, 60, kGreen);

    closeMark.Draw(canvas.dc(), 5, 7, 0, false);
    EXPECT_EQ(canvas.Pixel(4, 7), kGreen);
    EXPECT_EQ(canvas.Pixel(5, 6), kGreen);
    EXPECT_NE(canvas.Pixel(5, 7), kGreen);
    EXPECT_NE(canvas.Pixel(21, 31), kGreen);
    EXPECT_EQ(canvas.Pixel(22, 31), kGreen);
    EXPECT_EQ(canvas.Pixel(21, 32), kGreen);

    // 38 - 17 leaves 21 pixels beside the picture: 10 to the left, 11 to the right.
    canvas.Fill(kGreen);
    closeMark.DrawCentered(canvas.dc(), {10, 10, 48, 55}, 0, false);
    EXPECT_EQ(canvas.Pixel(19, 20), kGreen);
    EXPECT_NE(canvas.Pixel(20, 20), kGreen);
    EXPECT_NE(canvas.Pixel(36, 20), kGreen);
    EXPECT_EQ(canvas.Pixel(37, 20), kGreen);
    EXPECT_EQ(canvas.Pixel(25, 19), kGreen);
    EXPECT_NE(canvas.Pixel(25, 20), kGreen);
    EXPECT_NE(canvas.Pixel(25, 44), kGreen);
    EXPECT_EQ(canvas.Pixel(25, 45), kGreen);
    EXPECT_EQ(canvas.CountPixels(kGreen), 60 * 60 - 17 * 25);
}

TEST(Picture, ACopyOutlivesAndIgnoresTheOriginal) {
    Picture original = Picture::FromResource(IDR_CLOSE_WINDOW);
    const Picture copy = original;
    original = Picture::FromResource(IDR_SIGNING_IN_ANIMATION);
    EXPECT_EQ(copy.Width(), 17);
    EXPECT_EQ(copy.FrameCount(), 1);
    original = Picture();
    PixelCanvas canvas(17, 25, kGreen);
    copy.Draw(canvas.dc(), 0, 0, 0, false);
    EXPECT_EQ(canvas.CountPixels(kGreen), 0);
}

TEST(Picture, TheEmptyPictureHasNoSizeAndDrawsNothing) {
    const Picture empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_EQ(empty.FrameCount(), 0);
    EXPECT_FALSE(empty.IsAnimated());
    PixelCanvas canvas(4, 4, kGreen);
    empty.Draw(canvas.dc(), 0, 0, 0, true);
    EXPECT_EQ(canvas.CountPixels(kGreen), 16);
}

TEST(Picture, WhatCannotBeReadIsAnErrorNamingIt) {
    try {
        Picture::FromResource(9999);
        FAIL() << "a missing resource loaded";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("resource 9999"), std::string::npos);
    }
    try {
        Picture::FromFile("C:\\no such folder\\picture.gif");
        FAIL() << "a missing file loaded";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("picture.gif"), std::string::npos);
    }
    const char notAPicture[] = "GIF89a, but nothing after it";
    EXPECT_THROW(PictureFromBytes(notAPicture, sizeof(notAPicture)), std::runtime_error);
    EXPECT_THROW(PictureFromBytes(kTwoFrameGif, 20), std::runtime_error) << "a cut-off GIF";
}

}  // namespace
