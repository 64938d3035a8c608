#pragma once

#include "linearization/characteristic.h"
#include "linearization/extended.h"

#include <initializer_list>

namespace vtr8 {

// One temperature sub-range of a thermocouple reference function: the
// coefficients in microvolts from u^0 upwards, with u = (x - offset)/scale.
struct ThermocoupleSubRange {
    const Extended* coefficients;
    int count;
    Extended offset;
    Extended scale;
};

// The sub-range of thermocouple c (0..8) that serves argument x.
ThermocoupleSubRange thermocoupleSubRange(Characteristic c, Extended x);

} // namespace vtr8
