#pragma once

#include "device/codes.h"
#include "device/eeprom_block.h"
#include "linearization/extended.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace vtr8 {

// Where the cold junction of a thermocouple sits; it picks one of three groups of modes, in this
// order.
enum class ColdJunction : std::uint8_t { Internal = 0, Near = 1, Remote = 2 };
QString coldJunctionText(ColdJunction place); // "interní studený konec", ...
std::optional<ColdJunction> coldJunctionFromText(const QString& text);

// Value of the reference characteristic at x: EMF in volts,
// resistance in ohms, or the input quantity itself. The write passes the linearization
// library's evaluation; tests may pass their own.
using SignalFunction = std::function<Extended(Characteristic characteristic, Extended x)>;

// What the choice of the input stage's mode depends on.
struct FrontEndRequest {
    InputType input = InputType::Pt100;
    ConnectionCode connection = ConnectionCode::None;
    std::optional<ColdJunction> coldJunction;
    Extended rangeStart = 0;
    Extended rangeEnd = 0;
    Extended dividerRatio = 1;
    Extended shuntResistance = 0; // ohms
    Extended totalValue = 0;
    bool fromFile = false; // linearization "ze souboru"
    // Largest magnitude of the point file's measured inputs (mA for "proud"), for "ze souboru".
    Extended fileInputMax = 0;
    SignalFunction signal;
};

enum class FrontEndStatus {
    Found,
    Overdriven, // no sub-range holds the signal: "Přebuzen vstup"
    NoSettings, // a mode was found but the program has no register settings for it
};

struct FrontEndChoice {
    FrontEndStatus status = FrontEndStatus::Overdriven;
    std::uint8_t mode = 0;
    // Magnitude of the input signal (ohms or volts) that chose the sub-range.
    Extended inputSignalMax = 0;
};

Extended InputSignalMax(const FrontEndRequest& request);
FrontEndChoice SelectFrontEndMode(const FrontEndRequest& request);
// The message that ends a write for a choice that is not Found.
QString FrontEndRefusalText(FrontEndStatus status);

// The program's copy of the front-end fields of the EEPROM.
struct FrontEndImage {
    std::array<std::uint16_t, 12> words{};  // 0..23, high byte first
    std::array<std::uint8_t, 4> bytes24{};  // 24..27
    float scaleFactor = 1.0f;               // 28
    float parasiticResistance = 0.0f;       // 32
    std::array<std::uint8_t, 16> bytes96{}; // 96..111
    std::array<std::uint8_t, 4> bytes112{}; // 112..115
    float upperOverload = 0.0f;             // 448
    float lowerOverload = 0.0f;             // 452

    bool operator==(const FrontEndImage&) const = default;
};

// The table row of a mode, or nullopt for the modes the table has no row for
// (13..16, 21..24, 41..48 and anything outside 1..53).
[[nodiscard]] std::optional<FrontEndImage> FrontEndTable(int mode);
// Fills the image from the table; a mode without a row leaves it unchanged and gives false.
[[nodiscard]] bool LoadFrontEndSettings(int mode, FrontEndImage& image);

inline constexpr int FrontEndSettleMs = 100;
// The eight blocks 0, 12, 24, 28, 96, 100, 112, 448 in the order they are written; the second
// carries the settling pause.
std::vector<EepromBlock> FrontEndBlocks(const FrontEndImage& image);

} // namespace vtr8
