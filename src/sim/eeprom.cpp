#include "sim/eeprom.h"

#include "sim/sim_options.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace vtr8::sim {

namespace {

// Factory output calibration: the D/A values that gave 4 mA and 20 mA.
constexpr float FactoryD1 = 10486.0f;
constexpr float FactoryD2 = 52429.0f;
constexpr float FactoryI1 = 4.0f;
constexpr float FactoryI2 = 20.0f;

} // namespace

std::array<std::uint8_t, 4> EncodeTransmitterFloat(float value)
{
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const std::uint32_t sign = bits >> 31;
    std::uint32_t exponent = (bits >> 23) & 0xFF;
    const std::uint32_t fraction = bits & 0x7FFFFF;
    // The transmitter's exponent is IEEE's plus 2; zero, denormals and the
    // top exponents pass unchanged.
    if (exponent >= 1 && exponent <= 252)
        exponent += 2;
    return {static_cast<std::uint8_t>(exponent),
            static_cast<std::uint8_t>((sign << 7) | (fraction >> 16)),
            static_cast<std::uint8_t>((fraction >> 8) & 0xFF),
            static_cast<std::uint8_t>(fraction & 0xFF)};
}

float DecodeTransmitterFloat(const std::uint8_t* bytes)
{
    std::uint32_t exponent = bytes[0];
    if (exponent > 2)
        exponent -= 2;
    const std::uint32_t sign = bytes[1] >> 7;
    const std::uint32_t fraction = (static_cast<std::uint32_t>(bytes[1] & 0x7F) << 16) |
                                   (static_cast<std::uint32_t>(bytes[2]) << 8) | bytes[3];
    return std::bit_cast<float>((sign << 31) | (exponent << 23) | fraction);
}

void PutTransmitterFloat(EepromImage& image, int address, float value)
{
    const auto bytes = EncodeTransmitterFloat(value);
    std::memcpy(image.data() + address, bytes.data(), bytes.size());
}

float GetTransmitterFloat(const EepromImage& image, int address)
{
    return DecodeTransmitterFloat(image.data() + address);
}

EepromImage FactoryEeprom(const SimOptions& options)
{
    EepromImage image{};
    PutTransmitterFloat(image, 36, FactoryD1);
    PutTransmitterFloat(image, 40, FactoryD2);
    PutTransmitterFloat(image, 44, FactoryI1);
    PutTransmitterFloat(image, 48, FactoryI2);
    image[262] = options.firmware;
    image[268] = 13;
    image[269] = 249;
    for (int a = 512; a <= 571; ++a)
        image[static_cast<std::size_t>(a)] = ' ';
    image[1084] = options.relays ? 1 : 0;
    image[1085] = options.relays && options.secondRelay ? 1 : 0;
    return image;
}

bool LoadEeprom(const std::string& path, EepromImage& image, std::string& errorText)
{
    // Only a regular file of the image's size: a directory, a FIFO or
    // /dev/zero must neither throw nor read on for ever.
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error) {
        errorText = path + ": " + error.message();
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        errorText = path + ": not a regular file";
        return false;
    }
    const auto size = std::filesystem::file_size(path, error);
    if (error || size != image.size()) {
        errorText = path + ": " + (error ? error.message() : std::to_string(size) + " bytes") +
                    ", expected " + std::to_string(image.size());
        return false;
    }
    EepromImage loaded{};
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(loaded.data()), static_cast<std::streamsize>(loaded.size()));
    if (!in || in.gcount() != static_cast<std::streamsize>(loaded.size())) {
        errorText = path + ": could not be read";
        return false;
    }
    image = loaded;
    return true;
}

bool DumpEeprom(const std::string& path, const EepromImage& image, std::string& errorText)
{
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            errorText = temporary + ": " + std::strerror(errno);
            return false;
        }
        out.write(reinterpret_cast<const char*>(image.data()),
                  static_cast<std::streamsize>(image.size()));
        out.flush();
        if (!out) {
            errorText = temporary + ": write failed";
            return false;
        }
    }
    // Replace the old image only once the new one is complete.
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        errorText = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace vtr8::sim
