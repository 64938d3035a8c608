#pragma once

#include "device/codes.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace vtr8 {

// The "ReadPV" value: an IEEE single, most significant byte first. An exponent
// byte of 0x7F or 0xFF (infinity and not-a-number patterns, and the largest
// finite values) keeps only that byte, so the display always gets a finite
// number, and anything beyond ±1.0e30 is held at ±1.0e30.
float decodeProcessValue(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3);

// Decimals of the shown value: six where the transmitter shows volts (voltage
// inputs, and thermocouples not linearized to °C), three otherwise.
int processValueDecimals(std::optional<InputType> input,
                         std::optional<Linearization> linearization);

// Fixed notation with that many decimals and a point whatever the locale, no
// thousands separators, at least three characters wide.
QString formatProcessValue(float value, int decimals);

// The unit text for a "ReadPV" unit code; empty optional for a code the window
// does not know (the previous unit text then stays).
std::optional<QString> processValueUnitText(std::uint8_t unitCode);

} // namespace vtr8
