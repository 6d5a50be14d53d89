// A wallpaper picture's header, read before it is decoded, on any bytes: nothing is read outside
// the file, a size once found stays the same however the file goes on, and a picture may be
// decoded only when its pixels and sides stay within the bounds.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_check.h"
#include "service/wallpaper_picture.h"

namespace {

std::optional<PictureSize> SizeOf(const std::vector<uint8_t>& file) {
    return PictureSizeFromHeader([&](uint64_t offset, uint8_t* to, size_t count) {
        FUZZ_CHECK(count <= 64);
        const size_t copied =
            offset < file.size() ? std::min<size_t>(count, file.size() - offset) : 0;
        std::copy_n(file.begin() + std::ptrdiff_t(std::min<uint64_t>(offset, file.size())), copied,
                    to);
        return copied;
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> file(data, data + size);
    const std::optional<PictureSize> found = SizeOf(file);
    if (found) {
        file.resize(file.size() + 64, 0xFF);
        const std::optional<PictureSize> longer = SizeOf(file);
        FUZZ_CHECK(longer && longer->width == found->width && longer->height == found->height);
        // Two 32-bit sides multiply without overflow in 64 bits.
        const uint64_t pixels = uint64_t{found->width} * found->height;
        FUZZ_CHECK(MayDecodePicture(*found) ==
                   (pixels > 0 && pixels <= kMostPicturePixels &&
                    std::max(found->width, found->height) <= kLongestPictureSide));
    }
    return 0;
}
