#pragma once

#include "device/input_type.h"
#include "linearization/extended.h"

#include <QString>

#include <optional>

namespace vtr8 {

// Where the range limits of an input type must lie and how far apart they must be.
struct RangeLimits {
    Extended low = 0;
    Extended high = 0;
    QString unit;
    Extended minimumSpan = 0;
};

// The limits of the input type's own table. nullopt means no check: the three
// special U/I inputs, a voltage input whose divider ratio is 0 or beyond the
// transmitter's float (a refused ratio) and a current
// input without a shunt resistor (both would divide by zero or collapse the
// interval to a point).
// Voltage bounds scale with the divider ratio D: -0.5*D..1.0*D V, span 0.003*D.
// Current bounds are the currents giving +-100 mV across the shunt Rs (ohms, so
// 100/Rs mA), the span the current giving 20 mV.
std::optional<RangeLimits> rangeLimits(InputType type, Extended dividerRatio,
                                       Extended shuntResistance);

// True when `value` lies outside [low, high]; when high < low (a point set whose
// required values fall) the interval is taken the other way round. The bounds
// themselves are inside.
bool outsideInterval(Extended value, Extended low, Extended high);

// A range limit as the program keeps it (field, file and transmitter alike): the 32-bit float
// the transmitter stores, rounded to what it can tell apart, 6 decimals for the volt and
// milliampere inputs and 3 for every other.
int rangeDecimals(std::optional<InputType> type);
Extended keptRangeValue(Extended value, std::optional<InputType> type);

} // namespace vtr8
