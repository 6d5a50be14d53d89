#include "service/wallpaper_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

std::string BigEndian(uint32_t value, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) {
        out += char(value >> (8 * i));
    }
    return out;
}

std::string LittleEndian(uint32_t value, int bytes) {
    std::string out = BigEndian(value, bytes);
    std::reverse(out.begin(), out.end());
    return out;
}

std::optional<PictureSize> SizeOf(const std::string& file) {
    return PictureSizeFromHeader([&](uint64_t offset, uint8_t* to, size_t count) {
        const size_t copied =
            offset < file.size() ? std::min(count, size_t(file.size() - offset)) : 0;
        std::copy_n(file.begin() + std::ptrdiff_t(std::min<uint64_t>(offset, file.size())), copied,
                    to);
        return copied;
    });
}

std::string Png(uint32_t width, uint32_t height) {
    return std::string("\x89PNG\r\n\x1A\n", 8) + BigEndian(13, 4) + "IHDR" + BigEndian(width, 4) +
           BigEndian(height, 4) + std::string("\x08\x02\0\0\0", 5);
}

std::string Jpeg(uint32_t width, uint32_t height) {
    // SOI, a JFIF segment, a fill byte, a table (DHT, whose code lies among the frame headers'),
    // then the frame header.
    return std::string("\xFF\xD8\xFF\xE0", 4) + BigEndian(16, 2) + std::string("JFIF\0", 5) +
           std::string(9, '\1') + std::string("\xFF\xFF\xC4", 3) + BigEndian(3, 2) + "x" +
           std::string("\xFF\xC2", 2) + BigEndian(17, 2) + "\x08" + BigEndian(height, 2) +
           BigEndian(width, 2) + std::string(10, '\3');
}

TEST(PictureSizeFromHeader, EachFormatGivesItsSidesAndAnythingElseNone) {
    const std::string bmpInfo = "BM" + std::string(12, '\0') + LittleEndian(40, 4);
    const std::string tiffEntries = BigEndian(3, 2) + BigEndian(259, 2) + BigEndian(3, 2) +
                                    BigEndian(1, 4) + BigEndian(1, 4) + BigEndian(257, 2) +
                                    BigEndian(3, 2) + BigEndian(1, 4) + BigEndian(300, 2) +
                                    std::string(2, '\0') + BigEndian(256, 2) + BigEndian(4, 2) +
                                    BigEndian(1, 4) + BigEndian(70000, 4);
    struct Row {
        std::string file;
        std::optional<PictureSize> expected;
    };
    const Row rows[] = {
        {Png(7680, 4320), PictureSize{7680, 4320}},
        {Png(1, 300000), PictureSize{1, 300000}},
        {Png(7680, 4320).substr(0, 24), std::nullopt},
        {"GIF89a" + LittleEndian(640, 2) + LittleEndian(480, 2) + "\0\0\0", PictureSize{640, 480}},
        {bmpInfo + LittleEndian(1920, 4) + LittleEndian(uint32_t(-1080), 4),
         PictureSize{1920, 1080}},
        {"BM" + std::string(12, '\0') + LittleEndian(12, 4) + LittleEndian(30, 2) +
             LittleEndian(20, 2) + std::string(4, '\0'),
         PictureSize{30, 20}},
        {Jpeg(3840, 2160), PictureSize{3840, 2160}},
        {Jpeg(3840, 2160).substr(0, 32), std::nullopt},
        {std::string("\xFF\xD8\xFF\xDA", 4) + BigEndian(8, 2) + std::string(30, '\0'),
         std::nullopt},
        {"MM" + BigEndian(42, 2) + BigEndian(8, 4) + tiffEntries, PictureSize{70000, 300}},
        {"MM" + BigEndian(42, 2) + BigEndian(8, 4) + tiffEntries.substr(0, 26), std::nullopt},
        {"<html><body>not a picture</body></html>", std::nullopt},
        {"", std::nullopt},
    };
    for (const Row& row : rows) {
        const std::optional<PictureSize> size = SizeOf(row.file);
        ASSERT_EQ(size.has_value(), row.expected.has_value()) << row.file.size();
        if (size) {
            EXPECT_EQ(size->width, row.expected->width);
            EXPECT_EQ(size->height, row.expected->height);
        }
    }
}

TEST(MayDecodePicture, RealWallpapersPassAndPicturesThatDecodeToGigabytesDoNot) {
    struct Row {
        PictureSize size;
        bool allowed;
    };
    const Row rows[] = {
        {{7680, 4320}, true},        {{8192, 6144}, true},    {{6144, 8192}, true},
        {{1, 300000}, true},         {{1, 1 << 20}, true},    {{8193, 6144}, false},
        {{1, (1 << 20) + 1}, false}, {{30000, 30000}, false}, {{65535, 65535}, false},
        {{0, 1080}, false},          {{1920, 0}, false},      {{0xFFFFFFFF, 0xFFFFFFFF}, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(MayDecodePicture(row.size), row.allowed)
            << row.size.width << " x " << row.size.height;
    }
}

}  // namespace
