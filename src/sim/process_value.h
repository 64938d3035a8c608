#pragma once

#include "eeprom.h"

#include <cstdint>
#include <optional>

namespace vtr8::sim {

// What "ReadPV" reports: the unit code and the process value.
struct ProcessValue {
    std::uint8_t unitCode = 251;
    float value = 0.0f;
};

// The simulated input: a fixed value in its physical quantity, or (empty) a
// slow ramp across the stored range.
struct SimulatedInput {
    std::optional<double> fixed;
    double rampPeriodSeconds = 60.0;
};

ProcessValue ComputeProcessValue(const EepromImage& eeprom, const SimulatedInput& input,
                                 double secondsSinceStart);

}  // namespace vtr8::sim
