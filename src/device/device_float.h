#pragma once

#include "linearization/extended.h"

#include <array>
#include <cstdint>

namespace vtr8 {

// The block a write command sends and the data of a reply share this layout with the link:
// 26 bytes, positions counted from 1 (index 0 unused).
using TransferBuffer = std::array<std::uint8_t, 26>;

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
// only what it stores for the transmitter becomes single precision. Writes positions p..p+3
// (1-based); a position whose four bytes would not fit is ignored and reported false.
bool PutDeviceFloat(TransferBuffer& buffer, Extended value, int position);

// Decodes the float whose first byte is at 1-based position p of a buffer (ReplyData: the byte
// at address a+k of a read of address a is at position 3+k). Out of range gives 0.
float GetDeviceFloat(const TransferBuffer& buffer, int position);
float GetReversedDeviceFloat(const TransferBuffer& buffer, int position);

// A word of the front-end area, high byte first.
bool PutWord(TransferBuffer& buffer, std::uint16_t value, int position);

} // namespace vtr8
