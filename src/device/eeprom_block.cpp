#include "device/eeprom_block.h"

#include <algorithm>

namespace vtr8 {

EepromBlock zeroBlock(eeprom::Address address, int length)
{
    return {address, std::vector<std::uint8_t>(static_cast<std::size_t>(std::max(length, 0))), 0};
}

EepromBlock FloatBlock(eeprom::Address address, std::initializer_list<Extended> values)
{
    EepromBlock block{address, {}, 0};
    block.data.reserve(values.size() * eeprom::FloatLength);
    for (Extended value : values) {
        const DeviceFloatBytes bytes = EncodeDeviceFloat(static_cast<float>(value));
        block.data.insert(block.data.end(), bytes.begin(), bytes.end());
    }
    return block;
}

EepromBlock ByteBlock(eeprom::Address address, std::initializer_list<std::uint8_t> bytes)
{
    return {address, std::vector<std::uint8_t>(bytes), 0};
}

} // namespace vtr8
