#pragma once

#include "device/input_type.h"

#include <QString>

#include <cstdint>
#include <optional>

// The numeric codes the transmitter stores, and the program's texts for them.
namespace vtr8 {

// Bytes 424 (UnitCode) and 339/354 (RangeUnitCode): HART engineering-unit codes.
namespace unit_code {
inline constexpr std::uint8_t DegreesCelsius = 32;
inline constexpr std::uint8_t Ohm = 37;
inline constexpr std::uint8_t Milliampere = 39;
inline constexpr std::uint8_t Percent = 57;
inline constexpr std::uint8_t Volt = 58;
inline constexpr std::uint8_t None = 251;
} // namespace unit_code
// "°C", "Ohm", "mA", "%", "V"; empty for no unit or an unknown code.
QString unitText(std::uint8_t code);
// The code of one of those five texts; nullopt for any other.
std::optional<std::uint8_t> unitFromText(const QString& text);

// Byte 401.
enum class ErrorCurrentCode : std::uint8_t { Upscale = 1, Downscale = 2, Off = 3 };
QString errorCurrentText(ErrorCurrentCode code); // "nadproud", "podproud", "vyřazen"
std::optional<ErrorCurrentCode> errorCurrentFromText(const QString& text);

// Byte 403; 0 when the input has no sensor connection.
enum class ConnectionCode : std::uint8_t { None = 0, TwoWire = 2, ThreeWire = 3, FourWire = 4 };
QString connectionText(ConnectionCode code); // "dvouvodičově", ...; empty for None
ConnectionCode connectionFromText(const QString& text);

// Byte 427.
enum class LinearizationCode : std::uint8_t {
    NotLinearized = 0,
    PolynomialLinearized = 1, // "linearizováno" on the old firmware
    SegmentLinearized = 2,    // "linearizováno" on any other firmware
    SquareRoot = 3,
    FromFile = 4,
};

// Byte 606: which linearization table is in force.
enum class LinearizationMethod : std::uint8_t { None = 0, Polynomial = 1, SegmentTable = 2 };

// The choices of the Linearizace list.
enum class Linearization : std::uint8_t { Linearized, NotLinearized, FromFile, SquareRoot };
QString linearizationText(Linearization choice); // "linearizováno", "nelinearizováno", ...
std::optional<Linearization> linearizationFromText(const QString& text);

} // namespace vtr8
