#include "ui/resampling.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t kOpaqueRed = 0xFFFF0000;
constexpr uint32_t kMagentaKey = 0x00FF00FF;  // a transparent pixel's stored colour

TEST(ResampleArgb, OneColourStaysThatColourAtEveryScale) {
    const std::vector<uint32_t> red(5 * 3, kOpaqueRed);
    for (const auto& size : {std::pair{5, 3}, std::pair{6, 4}, std::pair{10, 6}, std::pair{3, 2}}) {
        const std::vector<uint32_t> scaled = ResampleArgb(red, 5, 3, size.first, size.second);
        ASSERT_EQ(scaled.size(), size_t(size.first * size.second));
        for (uint32_t pixel : scaled) {
            EXPECT_EQ(pixel, kOpaqueRed) << size.first << " x " << size.second;
        }
    }
}

// A transparent pixel's stored colour (the key of a bitmap) must not tint the edge of what is
// drawn beside it, and what lies far from the opaque part stays fully transparent.
TEST(ResampleArgb, TransparentColourDoesNotBleedIntoTheOpaquePart) {
    std::vector<uint32_t> picture(8 * 1, kMagentaKey);
    for (int x = 0; x < 4; ++x) {
        picture[x] = kOpaqueRed;
    }
    const std::vector<uint32_t> scaled = ResampleArgb(picture, 8, 1, 12, 1);
    ASSERT_EQ(scaled.size(), 12u);
    for (uint32_t pixel : scaled) {
        if ((pixel >> 24) != 0) {
            EXPECT_EQ(pixel & 0x0000FFFF, 0u) << std::hex << pixel << ": no green or blue";
            EXPECT_GE((pixel >> 16) & 0xFF, 250u) << std::hex << pixel;
        }
    }
    EXPECT_EQ(scaled.front(), kOpaqueRed);
    EXPECT_EQ(scaled.back(), 0u);
}

TEST(ResampleArgb, NothingForAnEmptyPictureOrSize) {
    EXPECT_TRUE(ResampleArgb({}, 0, 0, 4, 4).empty());
    EXPECT_TRUE(ResampleArgb({kOpaqueRed}, 1, 1, 0, 3).empty());
    EXPECT_TRUE(ResampleArgb({kOpaqueRed}, 2, 2, 3, 3).empty()) << "fewer pixels than the size";
}

}  // namespace
