#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vtr8::sim {

struct SimOptions;

inline constexpr int EepromSize = 2048;
using EepromImage = std::array<std::uint8_t, EepromSize>;

// Factory contents: calibration, identification, relay bytes, blank note.
EepromImage FactoryEeprom(const SimOptions& options);

// The transmitter's float: exponent byte (IEEE exponent + 2) first, sign in
// bit 7 of the second byte, then the 23-bit fraction high byte first.
std::array<std::uint8_t, 4> EncodeTransmitterFloat(float value);
float DecodeTransmitterFloat(const std::uint8_t* bytes);
void PutTransmitterFloat(EepromImage& image, int address, float value);
float GetTransmitterFloat(const EepromImage& image, int address);

// Raw 2048-byte image files. false and errorText on failure.
[[nodiscard]] bool LoadEeprom(const std::string& path, EepromImage& image, std::string& errorText);
[[nodiscard]] bool DumpEeprom(const std::string& path, const EepromImage& image,
                              std::string& errorText);

} // namespace vtr8::sim
