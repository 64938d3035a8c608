#include "device/write_plan.h"

namespace vtr8 {

std::optional<CharacteristicChoice>
ChooseCharacteristics(InputType input, Linearization linearization, bool oldFirmware)
{
    if (const auto sensor = sensorCharacteristic(input)) {
        switch (linearization) {
        case Linearization::Linearized:
            return CharacteristicChoice{*sensor, *sensor,
                                        oldFirmware ? LinearizationCode::PolynomialLinearized
                                                    : LinearizationCode::SegmentLinearized};
        case Linearization::NotLinearized:
            return CharacteristicChoice{Characteristic::Identity, *sensor,
                                        LinearizationCode::NotLinearized};
        case Linearization::FromFile:
            return CharacteristicChoice{*sensor, Characteristic::LinearFromFile,
                                        LinearizationCode::FromFile};
        case Linearization::SquareRoot:
            return std::nullopt;
        }
        return std::nullopt;
    }
    switch (linearization) {
    case Linearization::NotLinearized:
        return CharacteristicChoice{Characteristic::Identity, Characteristic::Identity,
                                    LinearizationCode::NotLinearized};
    case Linearization::FromFile:
        return CharacteristicChoice{Characteristic::Identity, Characteristic::LinearFromFile,
                                    LinearizationCode::FromFile};
    case Linearization::SquareRoot:
        return CharacteristicChoice{Characteristic::Identity, Characteristic::SquareRoot,
                                    LinearizationCode::SquareRoot};
    case Linearization::Linearized:
        return std::nullopt;
    }
    return std::nullopt;
}

QString UnsupportedLinearizationText(InputType input, Linearization linearization)
{
    return QString::fromUtf8("Pro vstup \"%1\" nelze zapsat linearizaci \"%2\", zvolte jinou "
                             "linearizaci.")
        .arg(inputTypeText(input), linearizationText(linearization));
}

RangeUnitChoice ChooseRangeUnit(InputType input, Linearization linearization, std::uint8_t unitCode)
{
    const bool linearized =
        linearization == Linearization::Linearized || linearization == Linearization::FromFile;
    if (isResistanceThermometer(input))
        return linearized ? RangeUnitChoice{unit_code::DegreesCelsius, false}
                          : RangeUnitChoice{unit_code::Ohm, true};
    if (isThermocouple(input))
        return linearized ? RangeUnitChoice{unit_code::DegreesCelsius, false}
                          : RangeUnitChoice{unit_code::Volt, true};

    // Other inputs keep the entered values; a file or square-root characteristic stores them in
    // the configuration's own unit, otherwise in the input's physical unit.
    const bool ownUnit =
        linearization == Linearization::FromFile || linearization == Linearization::SquareRoot;
    std::uint8_t physical = unit_code::None;
    switch (input) {
    case InputType::Rheostat:
    case InputType::ResistorDifference:
    case InputType::PotentiometerAbsolute:
        physical = unit_code::Ohm;
        break;
    case InputType::PotentiometerRelative:
        physical = unit_code::Percent;
        break;
    case InputType::Voltage:
    case InputType::Special0to10V:
    case InputType::VoltageDifference:
        physical = unit_code::Volt;
        break;
    case InputType::Current:
    case InputType::Special0to20mA:
    case InputType::Special4to20mA:
    case InputType::CurrentDifference:
        physical = unit_code::Milliampere;
        break;
    default:
        break;
    }
    return {ownUnit ? unitCode : physical, false};
}

} // namespace vtr8
