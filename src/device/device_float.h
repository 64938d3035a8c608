#pragma once

#include "linearization/extended.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vtr8 {

// The transmitter's 4-byte float, in the order it sits in EEPROM at increasing addresses:
// exponent byte (IEEE biased exponent + 2), sign in bit 7 of the second byte, then the 23-bit
// fraction high byte first.
using DeviceFloatBytes = std::array<std::uint8_t, 4>;

DeviceFloatBytes EncodeDeviceFloat(float value);
// True when the value, rounded to a 32-bit float, survives the format: finite and with an
// IEEE exponent of at most 252 (below about 8.5e37). Larger exponents pass the encoder
// unchanged and the transmitter would read a different number.
bool FitsDeviceFloat(Extended value);
float DecodeDeviceFloat(const DeviceFloatBytes& bytes);
// The point-file range at 1024 holds the same format with its four bytes reversed.
float DecodeReversedDeviceFloat(const DeviceFloatBytes& bytes);

// Rounds to the nearest 32-bit float first: the program computes in extended precision and
// only what it stores for the transmitter becomes single precision. Writes bytes at offset..
// offset+3 of a block's data; an offset whose four bytes would not fit is ignored and reported
// false.
bool PutDeviceFloat(std::span<std::uint8_t> bytes, Extended value, std::size_t offset);

// A word of the front-end area, high byte first, at offset and offset+1.
bool putWord(std::span<std::uint8_t> bytes, std::uint16_t value, std::size_t offset);

} // namespace vtr8
