#include "ui/resampling.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFilterSupport = 2;

double CatmullRom(double x) {
    x = std::fabs(x);
    if (x < 1) {
        return (1.5 * x - 2.5) * x * x + 1;
    }
    if (x < 2) {
        return ((-0.5 * x + 2.5) * x - 4) * x + 2;
    }
    return 0;
}

// As std::lround for the weights' range, without the call into the C library that the 32-bit
// build makes for it: a stretch rounds a weight for every tap of every row and column.
int RoundedHalfAway(double value) {
    return int(value < 0 ? value - 0.5 : value + 0.5);
}

// The windows of every output along one axis.
std::vector<FilterWindow> WindowsFor(int inputs, int outputs) {
    const double scale = double(inputs) / outputs;
    std::vector<FilterWindow> windows;
    windows.reserve(size_t(outputs));
    for (int o = 0; o < outputs; ++o) {
        windows.emplace_back();
        WindowAt((o + 0.5) * scale, std::max(scale, 1.0), inputs, windows.back());
    }
    return windows;
}

// Four premultiplied channels, each in fixed point, as sums of weighted samples.
struct Channels {
    int64_t value[4] = {0, 0, 0, 0};
};

uint8_t Clamped(int64_t fixedPoint, int64_t limit) {
    const int64_t rounded = (fixedPoint + kWeightOne / 2) >> kWeightBits;
    return uint8_t(std::clamp<int64_t>(rounded, 0, limit));
}

}  // namespace

void WindowAt(double centre, double widen, int inputs, FilterWindow& window) {
    const double support = kFilterSupport * widen;
    const int low = std::max(int(std::floor(centre - support + 0.5)), 0);
    const int high = std::min(int(std::floor(centre + support + 0.5)), inputs);
    // Each weight is worked out twice, for the total and then divided by it, which is cheaper
    // than a buffer of them.
    const auto exact = [&](int i) { return CatmullRom((i + 0.5 - centre) / widen); };
    double total = 0;
    for (int i = low; i < high; ++i) {
        total += exact(i);
    }
    window.start = low;
    window.weights.clear();
    int sum = 0;
    size_t largest = 0;
    for (int i = low; i < high; ++i) {
        const size_t at = window.weights.size();
        window.weights.push_back(int16_t(RoundedHalfAway(exact(i) / total * kWeightOne)));
        sum += window.weights[at];
        largest = window.weights[at] > window.weights[largest] ? at : largest;
    }
    window.weights[largest] = int16_t(window.weights[largest] + kWeightOne - sum);
    while (window.weights.size() > 1 && window.weights.front() == 0) {
        window.weights.erase(window.weights.begin());
        ++window.start;
    }
    while (window.weights.size() > 1 && window.weights.back() == 0) {
        window.weights.pop_back();
    }
}

std::vector<uint32_t> ResampleArgb(const std::vector<uint32_t>& pixels, int width, int height,
                                   int newWidth, int newHeight) {
    if (width <= 0 || height <= 0 || newWidth <= 0 || newHeight <= 0 ||
        pixels.size() < size_t(width) * size_t(height)) {
        return {};
    }
    const std::vector<FilterWindow> across = WindowsFor(width, newWidth);
    const std::vector<FilterWindow> down = WindowsFor(height, newHeight);
    // Along the rows, premultiplied, kept in 8.8 fixed point for the second pass.
    std::vector<Channels> rows(size_t(newWidth) * size_t(height));
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = pixels.data() + size_t(y) * size_t(width);
        for (int x = 0; x < newWidth; ++x) {
            Channels& out = rows[size_t(y) * size_t(newWidth) + size_t(x)];
            const FilterWindow& window = across[size_t(x)];
            for (size_t i = 0; i < window.weights.size(); ++i) {
                const uint32_t pixel = row[window.start + int(i)];
                const int64_t alpha = pixel >> 24;
                const int64_t weight = window.weights[i];
                out.value[3] += weight * alpha;
                for (int c = 0; c < 3; ++c) {
                    out.value[c] += weight * (((pixel >> (8 * c)) & 0xFF) * alpha / 255);
                }
            }
        }
    }
    std::vector<uint32_t> scaled(size_t(newWidth) * size_t(newHeight));
    for (int y = 0; y < newHeight; ++y) {
        const FilterWindow& window = down[size_t(y)];
        for (int x = 0; x < newWidth; ++x) {
            Channels sum;
            for (size_t i = 0; i < window.weights.size(); ++i) {
                const Channels& in = rows[size_t(window.start + int(i)) * size_t(newWidth) + x];
                for (int c = 0; c < 4; ++c) {
                    sum.value[c] += in.value[c] * window.weights[i];
                }
            }
            // Two passes of fixed-point weights: shift once for each.
            const uint8_t alpha = Clamped(sum.value[3] >> kWeightBits, 255);
            uint32_t pixel = uint32_t(alpha) << 24;
            if (alpha != 0) {
                for (int c = 0; c < 3; ++c) {
                    const uint8_t premultiplied = Clamped(sum.value[c] >> kWeightBits, alpha);
                    pixel |= uint32_t(premultiplied * 255 / alpha) << (8 * c);
                }
            }
            scaled[size_t(y) * size_t(newWidth) + size_t(x)] = pixel;
        }
    }
    return scaled;
}
