#include "linearization/single_precision.h"

#include <cmath>
#include <limits>

namespace vtr8 {

void SinglePrecisionCheck::check(Extended& value)
{
    const Extended magnitude = std::fabs(value);
    if (magnitude >= SingleOverflowLimit) {
        overflow = true;
    } else if (magnitude > 0 && magnitude <= SingleUnderflowLimit) {
        underflow = true;
        value = 0;
    }
}

} // namespace vtr8

namespace vtr8 {

float toSingle(Extended value)
{
    constexpr Extended FloatMax = std::numeric_limits<float>::max();
    if (value > FloatMax)
        return std::numeric_limits<float>::infinity();
    if (value < -FloatMax)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

} // namespace vtr8
