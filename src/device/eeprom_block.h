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

// Blocks as the transfer buffer would hold them: position p (1-based) goes to address + p - 1.
EepromBlock BlockFromBuffer(eeprom::Address address, const TransferBuffer& buffer, int length);
// Consecutive DeviceFloats starting at address.
EepromBlock FloatBlock(eeprom::Address address, std::initializer_list<Extended> values);
EepromBlock ByteBlock(eeprom::Address address, std::initializer_list<std::uint8_t> bytes);

// Copies the block into positions 1..n of the transfer buffer; positions above stay as they are.
// False when the block is empty or longer than a write command carries.
[[nodiscard]] bool LoadTransferBuffer(const EepromBlock& block, TransferBuffer& buffer);

} // namespace vtr8
