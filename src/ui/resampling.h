#pragma once
// Resampling pictures to another size: the filter's weights, shared by the wallpaper's stretch to
// the screen and the pictures' scaling for the screen's DPI, and the scaling of a picture with
// transparency.

#include <cstdint>
#include <vector>

// Weights are 16-bit fixed-point numbers with this many fraction bits, so that SSE2 multiplies
// and adds pairs of them with 8-bit samples in one instruction (pmaddwd).
inline constexpr int kWeightBits = 14;
inline constexpr int kWeightOne = 1 << kWeightBits;

// The fixed-point weights of one output over inputs [start, start + size), with the zeros at both
// ends left out and adding up to exactly one, so that one colour stays that colour.
struct FilterWindow {
    int start = 0;
    std::vector<int16_t> weights;
};

// The window of the output whose centre lies at `centre` in input coordinates (input i covers
// [i, i + 1)). The filter is Catmull-Rom, the cubic that keeps the samples it passes through and
// edges sharp, widened by `widen` (the shrink factor, or 1), so that a smaller picture averages
// what it leaves out instead of skipping it. Filled in place, its weights' memory kept from one
// call to the next: a stretch takes a window for every row and column, and a heap allocation for
// each took a millisecond under Wine.
void WindowAt(double centre, double widen, int inputs, FilterWindow& window);

// Top-down rows of 0xAARRGGBB pixels, alpha 0 where transparent, resampled to width x height with
// the filter above. Colours are weighted by their alpha, so that a transparent pixel's stored
// colour does not bleed into its neighbours; a pixel left fully transparent is 0. Empty for an
// empty picture or size.
std::vector<uint32_t> ResampleArgb(const std::vector<uint32_t>& pixels, int width, int height,
                                   int newWidth, int newHeight);
