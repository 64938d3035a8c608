#pragma once

#include "device/codes.h"

#include <cstdint>
#include <optional>

// The table decisions of a write: which characteristics the transmitter gets, which code
// describes its linearization, and in which unit the range limits are stored.
namespace vtr8 {

struct CharacteristicChoice {
    Characteristic linearizationCharacteristic = Characteristic::Identity; // byte 425
    Characteristic rangeCharacteristic = Characteristic::Identity;         // byte 426
    LinearizationCode code = LinearizationCode::NotLinearized;             // byte 427
};

// nullopt for a combination the transmitter has no characteristic for: "linearizováno" on an
// input without a sensor characteristic, "druhá odmocnina" on a sensor. The write refuses those.
std::optional<CharacteristicChoice>
ChooseCharacteristics(InputType input, Linearization linearization, bool oldFirmware);

// Message for a refused combination.
QString UnsupportedLinearizationText(InputType input, Linearization linearization);

struct RangeUnitChoice {
    std::uint8_t rangeUnitCode = 0; // bytes 339 and 354
    // True when the stored limits are the sensor signals (ohms, volts) of the entered
    // temperatures rather than the entered values themselves.
    bool convertThroughSensor = false;
};

// unitCode is the configuration's own UnitCode (byte 424), used for the linearized ranges.
RangeUnitChoice ChooseRangeUnit(InputType input, Linearization linearization,
                                std::uint8_t unitCode);

} // namespace vtr8
