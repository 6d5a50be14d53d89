#include "service/wallpaper_picture.h"

#include <array>
#include <cstring>

namespace {

// A JPEG's segments before its frame header are walked one by one; no real picture has this many.
constexpr int kMostJpegSegments = 4096;
// A TIFF directory's entries are read this many at a time.
constexpr size_t kTiffEntryBytes = 12;

// The header's bytes from offset on, as many as asked for, or false when the file ends before.
template <size_t kCount>
bool ReadAt(const PictureReader& read, uint64_t offset, std::array<uint8_t, kCount>& bytes) {
    return read(offset, bytes.data(), kCount) == kCount;
}

uint32_t Number(const uint8_t* bytes, int length, bool bigEndian) {
    uint32_t value = 0;
    for (int i = 0; i < length; ++i) {
        value = value << 8 | bytes[bigEndian ? i : length - 1 - i];
    }
    return value;
}

std::optional<PictureSize> PngSize(const std::array<uint8_t, 26>& header) {
    // The first chunk is the image header: length, "IHDR", width, height.
    if (std::memcmp(header.data() + 12, "IHDR", 4) != 0) {
        return std::nullopt;
    }
    return PictureSize{Number(&header[16], 4, true), Number(&header[20], 4, true)};
}

std::optional<PictureSize> BmpSize(const std::array<uint8_t, 26>& header) {
    if (Number(&header[14], 4, false) == 12) {  // the OS/2 core header: 16-bit sides
        return PictureSize{Number(&header[18], 2, false), Number(&header[20], 2, false)};
    }
    // A negative height stores the rows top-down.
    const auto height = static_cast<int32_t>(Number(&header[22], 4, false));
    const uint32_t rows = height < 0 ? 0u - static_cast<uint32_t>(height) : uint32_t(height);
    return PictureSize{Number(&header[18], 4, false), rows};
}

// The frame header (SOF0 to SOF15, which are not DHT, JPG or DAC) gives the sides; the segments
// before it are skipped by their lengths.
std::optional<PictureSize> JpegSize(const PictureReader& read) {
    uint64_t at = 2;
    for (int segment = 0; segment < kMostJpegSegments; ++segment) {
        std::array<uint8_t, 2> marker;
        if (!ReadAt(read, at, marker) || marker[0] != 0xFF) {
            return std::nullopt;
        }
        if (marker[1] == 0xFF) {  // fill byte before a marker
            ++at;
            continue;
        }
        const uint8_t code = marker[1];
        if (code == 0x01 || (code >= 0xD0 && code <= 0xD8)) {  // markers without a length
            at += 2;
            continue;
        }
        if (code == 0xD9 || code == 0xDA) {  // the picture's end or its data before any frame
            return std::nullopt;
        }
        std::array<uint8_t, 9> segmentHeader;
        if (!ReadAt(read, at, segmentHeader)) {
            return std::nullopt;
        }
        const uint32_t length = Number(&segmentHeader[2], 2, true);
        if (code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC) {
            // Length, precision, height, width. A height of 0 is given only after the frame's
            // data, which is not read here.
            return PictureSize{Number(&segmentHeader[7], 2, true),
                               Number(&segmentHeader[5], 2, true)};
        }
        if (length < 2) {
            return std::nullopt;
        }
        at += 2 + length;
    }
    return std::nullopt;
}

// The first image file directory's ImageWidth (256) and ImageLength (257), each a SHORT or a LONG.
std::optional<PictureSize> TiffSize(const PictureReader& read, bool bigEndian) {
    std::array<uint8_t, 4> offset;
    std::array<uint8_t, 2> count;
    if (!ReadAt(read, 4, offset) || !ReadAt(read, Number(offset.data(), 4, bigEndian), count)) {
        return std::nullopt;
    }
    const uint64_t entries = uint64_t(Number(offset.data(), 4, bigEndian)) + 2;
    std::optional<uint32_t> width;
    std::optional<uint32_t> height;
    for (uint32_t i = 0; i < Number(count.data(), 2, bigEndian); ++i) {
        std::array<uint8_t, kTiffEntryBytes> entry;
        if (!ReadAt(read, entries + i * kTiffEntryBytes, entry)) {
            return std::nullopt;
        }
        const uint32_t tag = Number(&entry[0], 2, bigEndian);
        const uint32_t type = Number(&entry[2], 2, bigEndian);
        if ((tag != 256 && tag != 257) || Number(&entry[4], 4, bigEndian) != 1 ||
            (type != 3 && type != 4)) {
            continue;
        }
        (tag == 256 ? width : height) = Number(&entry[8], type == 3 ? 2 : 4, bigEndian);
    }
    if (!width || !height) {
        return std::nullopt;
    }
    return PictureSize{*width, *height};
}

}  // namespace

std::optional<PictureSize> PictureSizeFromHeader(const PictureReader& read) {
    std::array<uint8_t, 26> header{};
    const size_t size = read(0, header.data(), header.size());
    const auto startsWith = [&](const char* magic, size_t length) {
        return size >= length && std::memcmp(header.data(), magic, length) == 0;
    };
    if (startsWith("\x89PNG\r\n\x1A\n", 8)) {
        return size == header.size() ? PngSize(header) : std::nullopt;
    }
    if (startsWith("GIF87a", 6) || startsWith("GIF89a", 6)) {
        return size >= 10 ? std::optional<PictureSize>(PictureSize{Number(&header[6], 2, false),
                                                                   Number(&header[8], 2, false)})
                          : std::nullopt;
    }
    if (startsWith("BM", 2)) {
        return size == header.size() ? BmpSize(header) : std::nullopt;
    }
    if (startsWith("\xFF\xD8", 2)) {
        return JpegSize(read);
    }
    if (startsWith("II*\0", 4) || startsWith("MM\0*", 4)) {
        return TiffSize(read, header[0] == 'M');
    }
    return std::nullopt;
}

bool MayDecodePicture(const PictureSize& size) {
    return size.width > 0 && size.height > 0 && size.width <= kLongestPictureSide &&
           size.height <= kLongestPictureSide &&
           uint64_t(size.width) * size.height <= kMostPicturePixels;
}
