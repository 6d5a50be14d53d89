// The wallpaper's stretching on small pictures of any sizes and pixels: the file is a 24-bit
// bottom-up BMP of the asked size with zeroed row padding; neither the rows' padding nor a fourth
// byte changes it; one colour stays that colour, rows (or columns) of one colour each stay so,
// and a picture kept at its size stays the same picture.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_check.h"
#include "service/wallpaper_bitmap.h"

namespace {

// What decides the pixels' values: each pixel its own, one for all, one for each row, one for
// each column.
enum class Pattern { Free, Uniform, Rows, Columns };

uint32_t LittleEndian(const std::vector<uint8_t>& file, size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = value << 8 | file[at + i];
    }
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const int width = input.ConsumeIntegralInRange(0, 64);
    const int height = input.ConsumeIntegralInRange(0, 64);
    const bool sameSize = input.ConsumeBool();
    const int targetWidth = sameSize ? width : input.ConsumeIntegralInRange(0, 96);
    const int targetHeight = sameSize ? height : input.ConsumeIntegralInRange(0, 96);
    const int pixelBytes = input.ConsumeBool() ? 4 : 3;
    const int padding = input.ConsumeIntegralInRange(0, 15);
    const auto pattern = Pattern(input.ConsumeIntegralInRange(0, 3));
    const std::vector<uint8_t> samples = input.ConsumeRemainingBytes<uint8_t>();
    const auto sample = [&](size_t k) { return samples.empty() ? 0 : samples[k % samples.size()]; };

    // The picture ends with its last pixel, so that a read past it is caught.
    const ptrdiff_t stride = ptrdiff_t(width) * pixelBytes + padding;
    const size_t end = height > 0 ? size_t(stride) * (height - 1) + size_t(width) * pixelBytes : 0;
    std::vector<uint8_t> bytes(std::max<size_t>(end, 1), 0xEE);
    const auto at = [&](int x, int y) { return size_t(y) * stride + size_t(x) * pixelBytes; };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const size_t own = (size_t(y) * width + x) * pixelBytes;
            const size_t first = pattern == Pattern::Free      ? own
                                 : pattern == Pattern::Uniform ? 0
                                 : pattern == Pattern::Rows    ? size_t(y) * pixelBytes
                                                               : size_t(x) * pixelBytes;
            for (int channel = 0; channel < pixelBytes; ++channel) {
                bytes[at(x, y) + channel] = sample(channel < 3 ? first + channel : own + channel);
            }
        }
    }
    const PixelRows picture{bytes.data(), width, height, stride, pixelBytes};
    const std::vector<uint8_t> file = StretchedBmpFile(picture, targetWidth, targetHeight);
    if (width == 0 || height == 0 || targetWidth == 0 || targetHeight == 0) {
        FUZZ_CHECK(file.empty());
        return 0;
    }

    const size_t rowBytes = size_t(targetWidth) * 3;
    const size_t fileStride = (rowBytes + 3) / 4 * 4;
    FUZZ_CHECK(file.size() == 54 + fileStride * targetHeight);
    FUZZ_CHECK(file[0] == 'B' && file[1] == 'M');
    FUZZ_CHECK(LittleEndian(file, 2, 4) == file.size());
    FUZZ_CHECK(LittleEndian(file, 10, 4) == 54);
    FUZZ_CHECK(LittleEndian(file, 18, 4) == uint32_t(targetWidth));
    FUZZ_CHECK(LittleEndian(file, 22, 4) == uint32_t(targetHeight));
    FUZZ_CHECK(LittleEndian(file, 28, 2) == 24);
    FUZZ_CHECK(LittleEndian(file, 34, 4) == fileStride * targetHeight);
    // Channel c of pixel (x, y) of the file, y counted from the top.
    const auto out = [&](int x, int y, int c) {
        return file[54 + size_t(targetHeight - 1 - y) * fileStride + size_t(x) * 3 + c];
    };
    for (int y = 0; y < targetHeight; ++y) {
        for (size_t pad = rowBytes; pad < fileStride; ++pad) {
            FUZZ_CHECK(file[54 + size_t(y) * fileStride + pad] == 0);
        }
        for (int x = 0; x < targetWidth; ++x) {
            for (int c = 0; c < 3; ++c) {
                if (sameSize) {
                    FUZZ_CHECK(out(x, y, c) == bytes[at(x, y) + c]);
                }
                if (pattern == Pattern::Uniform) {
                    FUZZ_CHECK(out(x, y, c) == sample(c));
                } else if (pattern == Pattern::Rows) {
                    FUZZ_CHECK(out(x, y, c) == out(0, y, c));
                } else if (pattern == Pattern::Columns) {
                    FUZZ_CHECK(out(x, y, c) == out(x, 0, c));
                }
            }
        }
    }

    // The same picture with other padding and fourth bytes.
    for (int y = 0; y < height; ++y) {
        const size_t rowEnd = y + 1 < height ? at(0, y + 1) : end;
        for (size_t i = at(width, y); i < rowEnd; ++i) {
            bytes[i] = uint8_t(~bytes[i]);
        }
        for (int x = 0; pixelBytes == 4 && x < width; ++x) {
            bytes[at(x, y) + 3] = uint8_t(~bytes[at(x, y) + 3]);
        }
    }
    FUZZ_CHECK(StretchedBmpFile(picture, targetWidth, targetHeight) == file);
    return 0;
}
