#include "device/eeprom_block.h"

#include <algorithm>

namespace vtr8 {

EepromBlock BlockFromBuffer(eeprom::Address address, const TransferBuffer& buffer, int length)
{
    length = std::clamp(length, 0, static_cast<int>(buffer.size()) - 1);
    return {address, std::vector<std::uint8_t>(buffer.begin() + 1, buffer.begin() + 1 + length), 0};
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

bool LoadTransferBuffer(const EepromBlock& block, TransferBuffer& buffer)
{
    if (block.data.empty() || block.data.size() > static_cast<std::size_t>(eeprom::MaxWriteBlock))
        return false;
    std::copy(block.data.begin(), block.data.end(), buffer.begin() + 1);
    return true;
}

} // namespace vtr8
