#pragma once

#include "device/device_float.h"
#include "device/memory_map.h"
#include "linearization/extended.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace vtr8 {

// One "WriteEEPROM" command: the bytes for address, address+1, ... and an optional pause the
// transmitter needs after it (the front-end registers settle after their second block).
struct EepromBlock {
    eeprom::Address address = 0;
    std::vector<std::uint8_t> data;
    int pauseAfterMs = 0;

    bool operator==(const EepromBlock&) const = default;
};

// A block of `length` zero bytes at address, to be filled in place.
EepromBlock zeroBlock(eeprom::Address address, int length);
// Consecutive DeviceFloats starting at address.
EepromBlock FloatBlock(eeprom::Address address, std::initializer_list<Extended> values);
EepromBlock ByteBlock(eeprom::Address address, std::initializer_list<std::uint8_t> bytes);

} // namespace vtr8
