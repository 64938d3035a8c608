#pragma once

#include <limits>

namespace vtr8 {

// All computation runs in the 80-bit extended type; a value becomes a 32-bit
// float only where it is stored for the transmitter.
using Extended = long double;
static_assert(std::numeric_limits<Extended>::digits == 64,
              "vtr8 needs the 80-bit extended long double (64-bit mantissa)");

} // namespace vtr8
