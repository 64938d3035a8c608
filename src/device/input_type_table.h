#pragma once

#include "device/codes.h"
#include "device/input_type.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

// Everything the program knows about one input type, in one row: the window's shape, the range
// unit, the configuration file's lines, the decimals and the front end's sub-ranges. Adding an
// input type is adding its row here.
namespace vtr8 {

enum class InputFamily : std::uint8_t {
    ResistanceThermometer,
    Thermocouple,
    Resistance, // rheostat, potentiometers, resistor difference
    Voltage,
    Current,
    SpecialSignal, // the three special U/I inputs
};

// The fields an input type adds to the common ones, in the order the configuration file holds
// them (and a load fills them, so a field's check sees the ones before it).
enum class InputField : std::uint8_t {
    None,
    Connection,
    Parasitic,
    TotalValue,
    ColdJunction,
    Divider,
    Shunt,
};

// Sets of connections and of offered linearizations, one bit each.
using ConnectionSet = std::uint8_t;
inline constexpr ConnectionSet connectionBit(ConnectionCode code)
{
    return static_cast<ConnectionSet>(1u << static_cast<unsigned>(code));
}
using LinearizationSet = std::uint8_t;
inline constexpr LinearizationSet linearizationBit(Linearization choice)
{
    return static_cast<LinearizationSet>(1u << static_cast<unsigned>(choice));
}

// How the front end measures the input: four sub-ranges of 200, 400, 2000 and 4000 ohms or of
// 16, 32, 64 and 128 mV (the voltage input adds 0.5 V and 1 V), or one fixed mode.
enum class SubRangeScale : std::uint8_t { Ohms, Millivolts, MillivoltsAndVolts, FixedMode };

// The fixed signal band of a special input: overload limits (448/452), input offset and span
// (1576/1580).
struct SignalBand {
    float upperOverload;
    float lowerOverload;
    float offset;
    float span;
};

struct InputTypeRow {
    InputType type;
    const char16_t* text; // in Vstup and in the file
    InputFamily family;
    std::optional<Characteristic> sensor; // the sensor's own reference characteristic
    // Bytes 424 and 339/354. The range is in `unitCode`; a sensor range that is not linearized is
    // stored as the sensor's signal, in `signalUnitCode`.
    std::uint8_t unitCode;
    std::uint8_t signalUnitCode;
    // The label beside the total-value field; PrepJednotek also sets it for the inputs whose range
    // is in ohms, volts or milliamperes. unit_code::None: left alone.
    std::uint8_t totalValueUnitCode;
    // The chosen unit returns to "Bez jednotky" with the input's unit.
    bool resetsChosenUnit;
    // The connections the list offers; an input with one connection has it fixed and hidden.
    // Empty: the list is not touched (the field is hidden anyway).
    ConnectionSet connections;
    // The linearizations the list offers; one is fixed, none leaves the list as it was.
    LinearizationSet linearizations;
    std::array<InputField, 2> fields;
    const char16_t* totalValueCaption; // the caption of the total-value field
    const char16_t* totalValueFileKey;
    // The total value is kept at three decimals and saved in fixed notation; true: kept and
    // saved as typed.
    bool totalValueAsTyped;
    // The hidden divider of the relative potentiometer scales ohms of the track to per cent.
    const char16_t* dividerPreset;
    // Decimals of the range limits: as a file loads them, and as a read cuts the stored floats.
    int fileDecimals;
    int readDecimals;
    SubRangeScale scale;
    // The first of the four sub-range modes (thermocouples: of the internal cold-junction group,
    // the near and remote groups follow by four); the fixed mode of a special input.
    std::uint8_t firstMode;
    std::uint8_t firstModeFourWire;
    std::optional<SignalBand> band;
    // A write stores the total value at 408, the others 0 there. "proud" is one of them although
    // it has no field for the value.
    bool storesTotalValue = false;

    [[nodiscard]] bool has(InputField field) const
    {
        return fields[0] == field || fields[1] == field;
    }
    [[nodiscard]] bool allows(ConnectionCode code) const
    {
        return (connections & connectionBit(code)) != 0;
    }
    [[nodiscard]] bool offers(Linearization choice) const
    {
        return (linearizations & linearizationBit(choice)) != 0;
    }
};

// The row of an input type; every enumerator has one.
const InputTypeRow& inputTypeRow(InputType type);
// Every row, in vstupOrder.
const std::array<InputTypeRow, InputTypeCount>& inputTypeRows();

// The list items of the row's sets, in the lists' order.
QStringList connectionItems(ConnectionSet connections);
QStringList linearizationItems(LinearizationSet linearizations);

} // namespace vtr8
