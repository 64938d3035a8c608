#include "device/write_plan.h"

#include "device/input_type_table.h"

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
    const InputTypeRow& row = inputTypeRow(input);
    if (row.sensor)
        return linearized ? RangeUnitChoice{row.unitCode, false}
                          : RangeUnitChoice{row.signalUnitCode, true};

    // Other inputs keep the entered values; a file or square-root characteristic stores them in
    // the configuration's own unit, otherwise in the input's physical unit.
    const bool ownUnit =
        linearization == Linearization::FromFile || linearization == Linearization::SquareRoot;
    return {ownUnit ? unitCode : row.unitCode, false};
}

} // namespace vtr8
