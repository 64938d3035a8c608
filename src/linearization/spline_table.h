#pragma once

#include "linearization/extended.h"

#include <array>

namespace vtr8 {

// Twenty cubic pieces giving the temperature (°C) as a function of the sensor
// signal (volts or ohms). Piece i is valid from u[i] to u[i+1] and is
// a[i] + b[i]·t + c[i]·t² + d[i]·t³ with t = signal - u[i].
struct SplineTable {
    static constexpr int MaxIntervals = 20;

    std::array<Extended, MaxIntervals + 1> u{};
    std::array<Extended, MaxIntervals> a{};
    std::array<Extended, MaxIntervals> b{};
    std::array<Extended, MaxIntervals> c{};
    std::array<Extended, MaxIntervals> d{};
    // 0 means no table (never computed, or the last computation failed).
    int IntervalCount = 0;
};

} // namespace vtr8
