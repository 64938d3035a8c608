#pragma once

#include "linearization/extended.h"

namespace vtr8 {

// Magnitudes the transmitter's 32-bit float cannot hold: 2^127 and above
// overflow its exponent byte, 2^-128 and below cannot be told from zero.
inline constexpr Extended SingleOverflowLimit = 1.7014117e38L;
inline constexpr Extended SingleUnderflowLimit = 2.9387359e-39L;

// Tallies coefficients that do not fit; an underflowing value is set to 0.
// An exact zero is no underflow.
struct SinglePrecisionCheck {
    bool overflow = false;
    bool underflow = false;

    void check(Extended& value);
};

} // namespace vtr8

namespace vtr8 {

// Nearest 32-bit float; beyond the float range the result is the infinity of
// that sign (a plain cast would be undefined there).
float toSingle(Extended value);

} // namespace vtr8
