#pragma once
// Clocks and the figures every benchmark prints: medians, the single runs behind them, ratios.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

// A smoke run (MURLOX_BENCH_SMOKE=1, as scripts/bench --smoke sets it): every figure from a single
// run and every wait as short as it can be, only to show that the benchmark still measures.
inline bool SmokeRun() {
    const char* smoke = std::getenv("MURLOX_BENCH_SMOKE");
    return smoke && std::string(smoke) == "1";
}

// How many runs a figure is taken from: full, or one in a smoke run.
inline int Runs(int full) {
    return SmokeRun() ? 1 : full;
}

inline double MillisecondsSince(Clock::time_point start) {
    return Milliseconds(Clock::now() - start).count();
}

inline double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The single values, in the order they were measured, with the given number of decimals.
inline std::string List(const std::vector<double>& values, int decimals = 0) {
    std::string text;
    char number[32];
    for (const double value : values) {
        std::snprintf(number, sizeof number, "%s%.*f", text.empty() ? "" : " ", decimals, value);
        text += number;
    }
    return text;
}

// "met" or "missed", for a figure that should stay at or below its goal.
inline const char* AtMost(double value, double goal) {
    return value <= goal ? "met" : "missed";
}
