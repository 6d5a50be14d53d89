#include "service/wallpaper_bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <system_error>
#include <thread>

#include <immintrin.h>

#include "ui/resampling.h"

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kInfoHeaderBytes = 40;
constexpr int kBgr = 3;
constexpr size_t kVectorBytes = 16;
// Nothing here is meant for pictures near the address space; BMP sizes are 32-bit as well.
constexpr uint64_t kMostBytes = uint64_t{1} << 30;

size_t RoundUp(size_t value, size_t step) {
    return (value + step - 1) / step * step;
}

// Which inputs make each output along one axis, and how much: output o is the sum over the pairs
// p below `pairs` of the inputs first[o] + 2p and first[o] + 2p + 1 times the two 16-bit weights
// in weights[o * pairs + p], the first in the low half, as pmaddwd takes them. Weights past an
// output's window are 0.
struct Taps {
    int pairs = 0;
    std::vector<int> first;
    std::vector<int32_t> weights;

    __m128i Pair(int output, int pair) const {
        return _mm_set1_epi32(weights[size_t(output) * pairs + pair]);
    }
};

Taps TapsFor(int inputs, int outputs) {
    const double scale = double(inputs) / outputs;
    // Shrinking widens the filter by the same factor, so that every input counts.
    const double widen = std::max(scale, 1.0);
    // Every output's window one after the other in one buffer, and where each starts in it.
    std::vector<int> starts(outputs);
    std::vector<size_t> offsets(size_t(outputs) + 1);
    std::vector<int16_t> windows;
    FilterWindow window;
    size_t widest = 1;
    for (int o = 0; o < outputs; ++o) {
        WindowAt((o + 0.5) * scale, widen, inputs, window);
        starts[o] = window.start;
        windows.insert(windows.end(), window.weights.begin(), window.weights.end());
        offsets[o + 1] = windows.size();
        widest = std::max(widest, window.weights.size());
    }
    Taps taps;
    taps.pairs = int(RoundUp(widest, 2) / 2);
    taps.first.resize(outputs);
    taps.weights.reserve(size_t(outputs) * taps.pairs);
    std::vector<int16_t> weights(size_t(taps.pairs) * 2);
    for (int o = 0; o < outputs; ++o) {
        // Windows are all as wide as the widest, so one near the far end starts earlier.
        taps.first[o] = std::max(0, std::min(starts[o], inputs - int(widest)));
        std::fill(weights.begin(), weights.end(), 0);
        std::copy(windows.begin() + offsets[o], windows.begin() + offsets[o + 1],
                  weights.begin() + (starts[o] - taps.first[o]));
        for (int p = 0; p < taps.pairs; ++p) {
            taps.weights.push_back(
                int32_t(uint16_t(weights[2 * p]) | uint32_t(uint16_t(weights[2 * p + 1])) << 16));
        }
    }
    return taps;
}

// Rounded, shifted back from fixed point and saturated to 0..255: 16 bytes from four vectors of
// four sums each.
__m128i Samples(__m128i sums0, __m128i sums1, __m128i sums2, __m128i sums3) {
    const auto shift = [](__m128i sums) { return _mm_srai_epi32(sums, kWeightBits); };
    return _mm_packus_epi16(_mm_packs_epi32(shift(sums0), shift(sums1)),
                            _mm_packs_epi32(shift(sums2), shift(sums3)));
}

const __m128i kRounding = _mm_set1_epi32(kWeightOne / 2);

// The rows scaled along at once for a strip of the output: a strip takes as many output rows as
// the input rows they tap fit in this, and at least one, so that the picture's height does not
// decide how much memory the stretch takes (its longest side is bounded before it is decoded).
constexpr size_t kStripBytes = size_t{8} << 20;

// A vector whose growth leaves its new elements as allocated, for the rows scaled along, written
// before they are read: zeroing their megabytes cost 0.3 ms of a 5 ms stretch, mostly in faulting
// their pages in before the threads would.
template <typename T>
struct UninitializedAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = UninitializedAllocator<U>;
    };
    template <typename U>
    void construct(U*) noexcept {}
    using std::allocator<T>::allocator;
};
using Bytes = std::vector<uint8_t, UninitializedAllocator<uint8_t>>;

// Rows of three-byte pixels, each rowStride bytes after the one before; the first is input row
// firstRow.
struct ScaledRows {
    int firstRow;
    size_t rowStride;
    Bytes bytes;
};

// A scaled row of that many pixels leaves room for the 16-byte reads of the columns' pass.
size_t ScaledRowStride(int width) {
    return RoundUp(size_t(width) * kBgr + 1, kVectorBytes);
}

// The source could not give its rows.
struct UnreadablePicture {};

// The input rows read from the source at once: enough to keep the reads few, few enough that a
// chunk of the widest picture stays small.
constexpr int kChunkRows = 32;

// Vector code that leaves the upper halves of the AVX registers in use makes every SSE
// instruction after it wait on them, and the system's code (the picture decoder's copy, memcpy,
// memset) does under Wine: the scaling then ran at half its speed. So they are cleared after every
// read from the picture. Clearing them needs a processor and system with AVX.
__attribute__((target("avx"))) void ZeroUpperHalves() {
    _mm256_zeroupper();
}

void ClearUpperHalves() {
    if (__builtin_cpu_supports("avx")) {
        ZeroUpperHalves();
    }
}

// Along the rows: input rows [firstRow, endRow) of kPixelBytes-byte pixels become rows of
// taps.first.size() pixels of three bytes.
template <int kPixelBytes>
ScaledRows ScaleRows(const PictureSource& picture, const Taps& taps, int firstRow, int endRow) {
    const int width = int(taps.first.size());
    const __m128i zero = _mm_setzero_si128();
    // Each pair of taps reads eight bytes and the taps may pass the window by one pixel, so the
    // rows are read into a buffer with room for that after the last; each output pixel is written
    // as four bytes, the fourth overwritten by the next.
    const size_t inputStride = size_t(picture.width) * kPixelBytes;
    std::vector<uint8_t> chunk(inputStride * kChunkRows + kPixelBytes + 8);
    int chunkFirst = firstRow;
    int chunkEnd = firstRow;
    ScaledRows scaled{firstRow, ScaledRowStride(width), {}};
    scaled.bytes.resize(scaled.rowStride * (endRow - firstRow));
    for (int y = firstRow; y < endRow; ++y) {
        if (y == chunkEnd) {
            chunkFirst = y;
            chunkEnd = std::min(y + kChunkRows, endRow);
            if (!picture.read(chunkFirst, chunkEnd - chunkFirst, chunk.data(), inputStride)) {
                throw UnreadablePicture();
            }
            ClearUpperHalves();
        }
        const uint8_t* row = &chunk[size_t(y - chunkFirst) * inputStride];
        uint8_t* out = &scaled.bytes[(y - firstRow) * scaled.rowStride];
        // What the columns' pass reads past the pixels is defined, if weighed by nothing.
        std::fill(out + size_t(width) * kBgr, out + scaled.rowStride, 0);
        for (int x = 0; x < width; ++x, out += kBgr) {
            const uint8_t* in = row + taps.first[x] * kPixelBytes;
            __m128i sums = kRounding;
            for (int p = 0; p < taps.pairs; ++p, in += 2 * kPixelBytes) {
                // Two pixels [b0 g0 r0 (a0) b1 g1 r1 (a1)] become [b0 b1 g0 g1 r0 r1 . .], which
                // times the pair of weights gives blue, green and red sums.
                const __m128i two =
                    _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(in)), zero);
                const __m128i pair = _mm_unpacklo_epi16(two, _mm_srli_si128(two, 2 * kPixelBytes));
                sums = _mm_add_epi32(sums, _mm_madd_epi16(pair, taps.Pair(x, p)));
            }
            const int32_t pixel = _mm_cvtsi128_si32(Samples(sums, sums, sums, sums));
            std::memcpy(out, &pixel, sizeof pixel);
        }
    }
    return scaled;
}

// Where the scaled picture goes: rows of rowBytes bytes, row 0 (the top) at `top` and each
// following one `step` bytes after it (negative for a bottom-up bitmap).
struct Destination {
    uint8_t* top;
    ptrdiff_t step;
    size_t rowBytes;
};

// Along the columns: output rows [begin, end) from the rows, the last of which is rows of the
// picture.
void ScaleColumns(const ScaledRows& rows, const Taps& taps, int begin, int end, int lastRow,
                  const Destination& to) {
    const __m128i zero = _mm_setzero_si128();
    std::vector<const uint8_t*> in(size_t(taps.pairs) * 2);
    for (int y = begin; y < end; ++y) {
        for (int k = 0; k < taps.pairs * 2; ++k) {
            // A tap past the last row has weight 0; any row will do.
            const int row = std::min(taps.first[y] + k, lastRow) - rows.firstRow;
            in[k] = &rows.bytes[size_t(row) * rows.rowStride];
        }
        uint8_t* out = to.top + y * to.step;
        for (size_t i = 0; i < to.rowBytes; i += kVectorBytes) {
            __m128i sums[4] = {kRounding, kRounding, kRounding, kRounding};
            for (int p = 0; p < taps.pairs; ++p) {
                const __m128i weights = taps.Pair(y, p);
                const __m128i upper =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(in[2 * p] + i));
                const __m128i lower =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(in[2 * p + 1] + i));
                const __m128i upperLow = _mm_unpacklo_epi8(upper, zero);
                const __m128i lowerLow = _mm_unpacklo_epi8(lower, zero);
                const __m128i upperHigh = _mm_unpackhi_epi8(upper, zero);
                const __m128i lowerHigh = _mm_unpackhi_epi8(lower, zero);
                const auto add = [&](int at, __m128i pairs) {
                    sums[at] = _mm_add_epi32(sums[at], _mm_madd_epi16(pairs, weights));
                };
                add(0, _mm_unpacklo_epi16(upperLow, lowerLow));
                add(1, _mm_unpackhi_epi16(upperLow, lowerLow));
                add(2, _mm_unpacklo_epi16(upperHigh, lowerHigh));
                add(3, _mm_unpackhi_epi16(upperHigh, lowerHigh));
            }
            alignas(16) uint8_t samples[kVectorBytes];
            _mm_store_si128(reinterpret_cast<__m128i*>(samples),
                            Samples(sums[0], sums[1], sums[2], sums[3]));
            std::memcpy(out + i, samples, std::min(kVectorBytes, to.rowBytes - i));
        }
    }
}

// Output rows [begin, end) in strips: for each, the input rows it needs scaled along the rows, then
// down the columns. Strips and bands are independent of each other, so bands can be made at the
// same time.
void ScaleBand(const PictureSource& picture, const Taps& across, const Taps& down, int begin,
               int end, const Destination& to) {
    const int lastRow = picture.height - 1;
    const size_t rowStride = ScaledRowStride(int(across.first.size()));
    const auto rowsBetween = [&](int firstRow, int lastFirstRow) {
        return size_t(std::min(lastFirstRow + 2 * down.pairs, picture.height) - firstRow);
    };
    for (int stripBegin = begin; stripBegin < end;) {
        // The first tapped row mostly grows with the output row, but not always: an output row
        // that falls on an input row's centre taps a narrower window, which can start after the
        // next one's.
        int firstRow = down.first[stripBegin];
        int lastFirstRow = firstRow;
        int stripEnd = stripBegin + 1;
        for (; stripEnd < end; ++stripEnd) {
            const int first = std::min(firstRow, down.first[stripEnd]);
            const int lastFirst = std::max(lastFirstRow, down.first[stripEnd]);
            if (rowsBetween(first, lastFirst) * rowStride > kStripBytes) {
                break;
            }
            firstRow = first;
            lastFirstRow = lastFirst;
        }
        const int endRow = firstRow + int(rowsBetween(firstRow, lastFirstRow));
        const ScaledRows rows = picture.pixelBytes == 3
                                    ? ScaleRows<3>(picture, across, firstRow, endRow)
                                    : ScaleRows<4>(picture, across, firstRow, endRow);
        ScaleColumns(rows, down, stripBegin, stripEnd, lastRow, to);
        stripBegin = stripEnd;
    }
}

void PutLittleEndian(uint8_t* at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        at[i] = uint8_t(value >> (8 * i));
    }
}

}  // namespace

std::vector<uint8_t> StretchedBmpFile(const PixelRows& picture, int width, int height) {
    if (!picture.first) {
        return {};
    }
    const PictureSource source{picture.width, picture.height, picture.pixelBytes,
                               [&picture](int first, int count, uint8_t* to, size_t stride) {
                                   for (int y = first; y < first + count; ++y, to += stride) {
                                       std::memcpy(to, picture.first + y * picture.stride,
                                                   size_t(picture.width) * picture.pixelBytes);
                                   }
                                   return true;
                               }};
    return StretchedBmpFile(source, width, height);
}

std::vector<uint8_t> StretchedBmpFile(const PictureSource& picture, int width, int height) {
    if (!picture.read || picture.width <= 0 || picture.height <= 0 || width <= 0 || height <= 0) {
        return {};
    }
    const uint64_t rowBytes = uint64_t(width) * kBgr;
    const uint64_t stride = (rowBytes + 3) / 4 * 4;  // BMP rows end on four-byte boundaries
    const uint64_t pixelBytes = stride * height;
    const uint64_t fileBytes = kFileHeaderBytes + kInfoHeaderBytes + pixelBytes;
    if (fileBytes > kMostBytes) {
        return {};
    }
    try {
        std::vector<uint8_t> file(fileBytes, 0);
        uint8_t* header = file.data();
        header[0] = 'B';
        header[1] = 'M';
        PutLittleEndian(header + 2, uint32_t(fileBytes), 4);
        PutLittleEndian(header + 10, kFileHeaderBytes + kInfoHeaderBytes, 4);
        uint8_t* info = header + kFileHeaderBytes;
        PutLittleEndian(info, kInfoHeaderBytes, 4);
        PutLittleEndian(info + 4, uint32_t(width), 4);
        PutLittleEndian(info + 8, uint32_t(height), 4);  // positive: rows stored bottom-up
        PutLittleEndian(info + 12, 1, 2);                // planes
        PutLittleEndian(info + 14, 8 * kBgr, 2);         // bits per pixel
        PutLittleEndian(info + 20, uint32_t(pixelBytes), 4);

        const Taps across = TapsFor(picture.width, width);
        const Taps down = TapsFor(picture.height, height);
        const Destination to{info + kInfoHeaderBytes + size_t(stride) * (height - 1),
                             -ptrdiff_t(stride), size_t(rowBytes)};
        // The upper half of the picture on a thread of its own, the lower one on this one. What
        // either throws is thrown here once both have ended.
        const int middle = height / 2;
        std::exception_ptr upperFailure;
        const auto upperHalf = [&] {
            try {
                ScaleBand(picture, across, down, 0, middle, to);
            } catch (...) {
                upperFailure = std::current_exception();
            }
        };
        std::thread helper;
        if (middle > 0) {
            try {
                helper = std::thread(upperHalf);
            } catch (const std::system_error&) {
                upperHalf();
            }
        }
        std::exception_ptr lowerFailure;
        try {
            ScaleBand(picture, across, down, middle, height, to);
        } catch (...) {
            lowerFailure = std::current_exception();
        }
        if (helper.joinable()) {
            helper.join();
        }
        for (const std::exception_ptr& failure : {upperFailure, lowerFailure}) {
            if (failure) {
                std::rethrow_exception(failure);
            }
        }
        return file;
    } catch (const std::bad_alloc&) {
        return {};
    } catch (const UnreadablePicture&) {
        return {};
    }
}
