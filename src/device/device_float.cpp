#include "device/device_float.h"

#include <cmath>

#include <algorithm>
#include <bit>

namespace vtr8 {

DeviceFloatBytes EncodeDeviceFloat(float value)
{
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const auto sign = static_cast<std::uint8_t>(bits >> 31);
    const auto exponent = static_cast<std::uint8_t>((bits >> 23) & 0xFFu);
    const std::uint32_t fraction = bits & 0x7FFFFFu;
    // Zero and denormals keep exponent 0; 253 and above (huge values, inf, NaN) would overflow
    // the byte and pass unchanged. Neither occurs in the values the program stores.
    const std::uint8_t stored =
        (exponent >= 1 && exponent <= 252) ? static_cast<std::uint8_t>(exponent + 2) : exponent;
    return {stored, static_cast<std::uint8_t>((sign << 7) | (fraction >> 16)),
            static_cast<std::uint8_t>(fraction >> 8), static_cast<std::uint8_t>(fraction)};
}

bool FitsDeviceFloat(Extended value)
{
    const float single = static_cast<float>(value);
    if (!std::isfinite(single))
        return false;
    const auto exponent = (std::bit_cast<std::uint32_t>(single) >> 23) & 0xFFu;
    return exponent <= 252;
}

float DecodeDeviceFloat(const DeviceFloatBytes& bytes)
{
    const std::uint32_t stored = bytes[0];
    const std::uint32_t exponent = stored > 2 ? stored - 2 : stored;
    const std::uint32_t sign = bytes[1] >> 7;
    const std::uint32_t fraction =
        (std::uint32_t{bytes[1] & 0x7Fu} << 16) | (std::uint32_t{bytes[2]} << 8) | bytes[3];
    return std::bit_cast<float>((sign << 31) | (exponent << 23) | fraction);
}

float DecodeReversedDeviceFloat(const DeviceFloatBytes& bytes)
{
    return DecodeDeviceFloat({bytes[3], bytes[2], bytes[1], bytes[0]});
}

namespace {

bool fits(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t length)
{
    return offset <= bytes.size() && length <= bytes.size() - offset;
}

} // namespace

bool PutDeviceFloat(std::span<std::uint8_t> bytes, Extended value, std::size_t offset)
{
    if (!fits(bytes, offset, 4))
        return false;
    const DeviceFloatBytes encoded = EncodeDeviceFloat(static_cast<float>(value));
    std::copy(encoded.begin(), encoded.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    return true;
}

bool putWord(std::span<std::uint8_t> bytes, std::uint16_t value, std::size_t offset)
{
    if (!fits(bytes, offset, 2))
        return false;
    bytes[offset] = static_cast<std::uint8_t>(value >> 8);
    bytes[offset + 1] = static_cast<std::uint8_t>(value & 0xFFu);
    return true;
}

} // namespace vtr8
