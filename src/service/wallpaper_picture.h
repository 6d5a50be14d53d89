#pragma once
// What a wallpaper picture's header tells of its size, read before anything is decoded, and
// whether a picture of that size may be decoded at all.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

struct PictureSize {
    uint32_t width = 0;
    uint32_t height = 0;
};

// Copies up to count bytes of the file from offset on into `to`; returns how many it copied,
// fewer only at the file's end.
using PictureReader = std::function<size_t(uint64_t offset, uint8_t* to, size_t count)>;

// The size the header of a BMP, GIF, JPEG, PNG or TIFF picture gives (a GIF's logical screen, a
// TIFF's first image); nothing for another format or a header cut short.
std::optional<PictureSize> PictureSizeFromHeader(const PictureReader& read);

// Whether a picture of this size may be decoded: it has pixels, at most kMostPicturePixels of
// them and no side longer than kLongestPictureSide.
bool MayDecodePicture(const PictureSize& size);

// 8192 x 6144 pixels: 8K (7680 x 4320) with half as much again to spare, 192 MB decoded at four
// bytes a pixel; a picture that a small file can describe but that decodes to gigabytes is refused
// before it is decoded.
inline constexpr uint64_t kMostPicturePixels = uint64_t{8192} * 6144;
// The stretch to the screen holds, for each row of the screen, every picture row its filter spans
// (about four for each row the picture shrinks by): this keeps that under a few tens of megabytes,
// far beyond any real picture's side.
inline constexpr uint32_t kLongestPictureSide = uint32_t{1} << 20;
