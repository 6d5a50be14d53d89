#include "service/wallpaper_bitmap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

// A picture of pixelBytes-byte pixels, each row `padding` bytes longer than its pixels.
struct TestPicture {
    TestPicture(int width, int height, int pixelBytes, int padding,
                const std::function<uint8_t(int x, int y, int channel)>& value)
        : width(width),
          height(height),
          pixelBytes(pixelBytes),
          stride(width * pixelBytes + padding),
          bytes(size_t(stride) * height, 0xEE) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                for (int channel = 0; channel < pixelBytes; ++channel) {
                    bytes[size_t(y) * stride + size_t(x) * pixelBytes + channel] =
                        value(x, y, channel);
                }
            }
        }
    }
    PixelRows Rows() const { return {bytes.data(), width, height, stride, pixelBytes}; }

    int width;
    int height;
    int pixelBytes;
    ptrdiff_t stride;
    std::vector<uint8_t> bytes;
};

uint32_t LittleEndian(const std::vector<uint8_t>& file, size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = value << 8 | file[at + i];
    }
    return value;
}

// Reads a 24-bit bottom-up BMP as made here: channel c of pixel (x, y), y counted from the top.
struct BmpReader {
    explicit BmpReader(const std::vector<uint8_t>& file)
        : file(file),
          width(int(LittleEndian(file, 18, 4))),
          height(int(LittleEndian(file, 22, 4))),
          stride(size_t(width * 3 + 3) / 4 * 4) {}
    int At(int x, int y, int channel) const {
        return file[54 + size_t(height - 1 - y) * stride + size_t(x) * 3 + channel];
    }
    const std::vector<uint8_t>& file;
    int width;
    int height;
    size_t stride;
};

TEST(StretchedBmpFile, WritesTheHeadersOfA24BitBottomUpBitmapWithPaddedRows) {
    const TestPicture picture(3, 2, 3, 0, [](int, int, int) { return 9; });
    for (const int width : {1, 2, 3, 4, 5, 1024}) {
        const std::vector<uint8_t> file = StretchedBmpFile(picture.Rows(), width, 7);
        const size_t stride = size_t(width * 3 + 3) / 4 * 4;
        ASSERT_EQ(file.size(), 54 + stride * 7) << width;
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(LittleEndian(file, 2, 4), file.size());
        EXPECT_EQ(LittleEndian(file, 10, 4), 54u);
        EXPECT_EQ(LittleEndian(file, 14, 4), 40u);
        EXPECT_EQ(LittleEndian(file, 18, 4), uint32_t(width));
        EXPECT_EQ(LittleEndian(file, 22, 4), 7u) << "positive height: bottom-up rows";
        EXPECT_EQ(LittleEndian(file, 26, 2), 1u);
        EXPECT_EQ(LittleEndian(file, 28, 2), 24u);
        EXPECT_EQ(LittleEndian(file, 30, 4), 0u) << "uncompressed";
        EXPECT_EQ(LittleEndian(file, 34, 4), stride * 7);
        for (size_t row = 0; row < 7; ++row) {
            for (size_t pad = width * 3; pad < stride; ++pad) {
                EXPECT_EQ(file[54 + row * stride + pad], 0) << width;
            }
        }
    }
}

TEST(StretchedBmpFile, TheSameSizeIsAnExactCopyWithRowsTurnedBottomUp) {
    const auto value = [](int x, int y, int channel) { return uint8_t(x * 37 + y * 11 + channel); };
    for (const int pixelBytes : {3, 4}) {
        const TestPicture picture(13, 9, pixelBytes, 5, value);
        const std::vector<uint8_t> file = StretchedBmpFile(picture.Rows(), 13, 9);
        const BmpReader bmp(file);
        for (int y = 0; y < 9; ++y) {
            for (int x = 0; x < 13; ++x) {
                for (int channel = 0; channel < 3; ++channel) {
                    ASSERT_EQ(bmp.At(x, y, channel), value(x, y, channel))
                        << pixelBytes << " bytes, " << x << "," << y;
                }
            }
        }
    }
}

TEST(StretchedBmpFile, OneColourStaysExactlyThatColourAtAnySize) {
    struct Case {
        int width, height, pixelBytes, toWidth, toHeight;
    };
    for (const Case& c : {Case{1920, 1080, 3, 1024, 768}, Case{64, 48, 4, 1280, 1024},
                          Case{1, 1, 3, 17, 3}, Case{300, 7, 3, 1, 1}, Case{5, 400, 4, 640, 9}}) {
        // The fourth byte (alpha) differs from pixel to pixel and must not count.
        const TestPicture picture(c.width, c.height, c.pixelBytes, 2, [](int x, int, int channel) {
            return channel == 3 ? uint8_t(x) : uint8_t(40 + 100 * channel);
        });
        const std::vector<uint8_t> file = StretchedBmpFile(picture.Rows(), c.toWidth, c.toHeight);
        const BmpReader bmp(file);
        ASSERT_EQ(bmp.width, c.toWidth);
        ASSERT_EQ(bmp.height, c.toHeight);
        for (int y = 0; y < c.toHeight; ++y) {
            for (int x = 0; x < c.toWidth; ++x) {
                for (int channel = 0; channel < 3; ++channel) {
                    ASSERT_EQ(bmp.At(x, y, channel), 40 + 100 * channel)
                        << c.width << "x" << c.height << " to " << c.toWidth << "x" << c.toHeight
                        << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(StretchedBmpFile, ShrinkingAveragesWhatItLeavesOutInsteadOfSkippingIt) {
    // Alternate black and white columns and rows: a picture that samples instead of filtering
    // turns out black, white or striped; a filtered one is an even grey.
    const TestPicture checkers(
        400, 300, 3, 0, [](int x, int y, int) { return uint8_t((x + y) % 2 == 0 ? 255 : 0); });
    for (const int divisor : {2, 3, 4}) {
        const std::vector<uint8_t> file =
            StretchedBmpFile(checkers.Rows(), 400 / divisor, 300 / divisor);
        const BmpReader bmp(file);
        for (int y = 2; y < bmp.height - 2; ++y) {
            for (int x = 2; x < bmp.width - 2; ++x) {
                ASSERT_NEAR(bmp.At(x, y, 1), 128, 32)
                    << "divisor " << divisor << " " << x << "," << y;
            }
        }
    }
}

TEST(StretchedBmpFile, ARampKeepsItsPlaceAndSlopeWhenScaled) {
    // Value = x, so an output pixel should hold the value at its own centre in input terms:
    // (x + 0.5) * scale - 0.5. A shift by half a pixel or a wrong weight shows as an error.
    const TestPicture ramp(256, 4, 3, 0, [](int x, int, int) { return uint8_t(x); });
    for (const int toWidth : {128, 100, 200, 256, 400}) {
        const std::vector<uint8_t> file = StretchedBmpFile(ramp.Rows(), toWidth, 3);
        const BmpReader bmp(file);
        const double scale = 256.0 / toWidth;
        for (int x = 4; x < toWidth - 4; ++x) {
            const double expected = (x + 0.5) * scale - 0.5;
            ASSERT_NEAR(bmp.At(x, 1, 0), expected, 1.0) << "to " << toWidth << " at " << x;
        }
    }
}

TEST(StretchedBmpFile, NothingForAnEmptyPictureOrSizeOrOneTooLarge) {
    const TestPicture picture(4, 4, 3, 0, [](int, int, int) { return 1; });
    EXPECT_TRUE(StretchedBmpFile(picture.Rows(), 0, 10).empty());
    EXPECT_TRUE(StretchedBmpFile(picture.Rows(), 10, -1).empty());
    EXPECT_TRUE(StretchedBmpFile(PixelRows{}, 10, 10).empty());
    PixelRows noRows = picture.Rows();
    noRows.height = 0;
    EXPECT_TRUE(StretchedBmpFile(noRows, 10, 10).empty());
    EXPECT_TRUE(StretchedBmpFile(picture.Rows(), 100000, 100000).empty());
}

}  // namespace
