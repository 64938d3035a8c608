#pragma once

#include "device/codes.h"
#include "device/front_end.h"
#include "device/input_type.h"
#include "linearization/extended.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace vtr8 {

// A number of the configuration with the text it is shown and saved as, so that a file saves
// back as it was loaded and a field keeps what the person typed ("1.0", "5.00000"). The value is
// what a write stores; the text is empty when the field is.
struct ConfigurationNumber {
    Extended value = 0;
    QString text;
};

// One transmitter configuration as the editor confirms it, a file holds it and a write stores
// it: typed values only; the Czech texts belong to the fields and the file.
struct Configuration {
    InputType input = InputType::Pt100;
    // As entered: a falling range has its start above its end.
    ConfigurationNumber rangeStart;
    ConfigurationNumber rangeEnd;
    // Unit of the range (byte 424): the input's own, or the one chosen for a point file.
    std::uint8_t unitCode = unit_code::None;
    std::optional<Linearization> linearization;
    ConfigurationNumber damping; // seconds
    std::optional<ErrorCurrentCode> errorCurrent;
    ConnectionCode connection = ConnectionCode::None;
    std::optional<ColdJunction> coldJunction;
    ConfigurationNumber parasiticResistance; // ohms, resistance thermometers
    // Potentiometer or resistor sum (ohms), the largest voltage (V) or current (mA) of a
    // difference input.
    ConfigurationNumber totalValue;
    ConfigurationNumber dividerRatio;    // voltage inputs
    ConfigurationNumber shuntResistance; // current inputs, ohms
};

// Range limits are rounded to what the transmitter can tell apart: 6 decimals for the volt and
// milliampere inputs, 3 for every other.
int rangeDecimals(InputType input);

} // namespace vtr8
