#pragma once

#include "sim/eeprom.h"

#include <cstdint>
#include <optional>

namespace vtr8::sim {

// What "ReadPV" reports: the unit code and the process value.
struct ProcessValue {
    std::uint8_t unitCode = 251;
    float value = 0.0f;
};

// The simulated input: a fixed value in its physical quantity (°C for the
// resistance thermometers and thermocouples, ohms for the rheostat, the
// potentiometers and the resistor difference, volts or milliamperes for the
// voltage, current and special inputs), or (empty) a slow ramp across the
// stored range.
struct SimulatedInput {
    std::optional<double> fixed;
    double rampPeriodSeconds = 60.0;
    // Temperature of a thermocouple's cold junction, °C.
    double coldJunctionCelsius = 25.0;
};

// The process value a transmitter with this EEPROM shows for the input: the
// sensor signal (resistance, or thermocouple EMF with the cold junction
// compensated through the stored polynomials), the shunt and the input scale
// factor for the current inputs, the linearization that byte 606 puts in force
// (polynomial at 127 or segment table at 608), and the input scaling at 1568.
// The unit code is byte 424.
ProcessValue ComputeProcessValue(const EepromImage& eeprom, const SimulatedInput& input,
                                 double secondsSinceStart);

// The measured quantity that enters the linearization (after the input scale
// factor): ohms, compensated volts, milliamperes, percent, ...
double MeasuredSignal(const EepromImage& eeprom, const SimulatedInput& input,
                      double secondsSinceStart);

// Position 0..1 of a triangle ramp (0 at the start, 1 at half the period).
double RampPosition(double secondsSinceStart, double periodSeconds);

} // namespace vtr8::sim
