#include "device/input_type_table.h"

namespace vtr8 {

namespace {

using T = InputType;
using F = InputField;
using C = Characteristic;
using L = Linearization;
namespace u = unit_code;

constexpr ConnectionSet AnyWires = connectionBit(ConnectionCode::TwoWire) |
                                   connectionBit(ConnectionCode::ThreeWire) |
                                   connectionBit(ConnectionCode::FourWire);
constexpr ConnectionSet ThreeOrFourWires =
    connectionBit(ConnectionCode::ThreeWire) | connectionBit(ConnectionCode::FourWire);
constexpr ConnectionSet TwoWiresOnly = connectionBit(ConnectionCode::TwoWire);
constexpr ConnectionSet NoConnection = 0;

constexpr LinearizationSet AnyLinearization = linearizationBit(L::Linearized) |
                                              linearizationBit(L::NotLinearized) |
                                              linearizationBit(L::FromFile);
constexpr LinearizationSet PlainOrFile =
    linearizationBit(L::NotLinearized) | linearizationBit(L::FromFile);
constexpr LinearizationSet PlainOnly = linearizationBit(L::NotLinearized);
constexpr LinearizationSet ListKept = 0;

// clang-format off
constexpr InputTypeRow resistanceThermometer(T type, const char16_t* text, C sensor)
{
    return {type, text, InputFamily::ResistanceThermometer, sensor, u::DegreesCelsius, u::Ohm,
            u::None, false, AnyWires, AnyLinearization, {F::Connection, F::Parasitic}, nullptr,
            nullptr, false, nullptr, 3, 3, SubRangeScale::Ohms, 5, 1, std::nullopt};
}

constexpr InputTypeRow thermocouple(T type, const char16_t* text, C sensor)
{
    return {type, text, InputFamily::Thermocouple, sensor, u::DegreesCelsius, u::Volt, u::None,
            false, NoConnection, AnyLinearization, {F::ColdJunction, F::None}, nullptr, nullptr,
            false, nullptr, 3, 3, SubRangeScale::Millivolts, 29, 29, std::nullopt};
}

// In vstupOrder.
constexpr std::array<InputTypeRow, InputTypeCount> Rows{{
    resistanceThermometer(T::Pt100, u"odporový teploměr Pt100", C::Pt100),
    resistanceThermometer(T::Pt1000, u"odporový teploměr Pt1000", C::Pt1000),
    resistanceThermometer(T::Ni100, u"odporový teploměr Ni100", C::Ni100),
    resistanceThermometer(T::Ni1000, u"odporový teploměr Ni1000", C::Ni1000),
    {T::Rheostat, u"reostat", InputFamily::Resistance, std::nullopt, u::Ohm, u::Ohm, u::Ohm,
     false, AnyWires, PlainOrFile, {F::Connection, F::None}, nullptr, nullptr, false, nullptr,
     3, 3, SubRangeScale::Ohms, 5, 1, std::nullopt},
    {T::PotentiometerAbsolute, u"potenciometr absolutní", InputFamily::Resistance, std::nullopt,
     u::Ohm, u::Ohm, u::Ohm, false, ThreeOrFourWires, PlainOrFile, {F::Connection, F::None},
     nullptr, nullptr, false, nullptr, 3, 3, SubRangeScale::Ohms, 17, 9, std::nullopt},
    thermocouple(T::ThermocoupleB, u"termočlánek B", C::TcB),
    thermocouple(T::ThermocoupleE, u"termočlánek E", C::TcE),
    thermocouple(T::ThermocoupleJ, u"termočlánek J", C::TcJ),
    thermocouple(T::ThermocoupleK, u"termočlánek K", C::TcK),
    thermocouple(T::ThermocoupleN, u"termočlánek N", C::TcN),
    thermocouple(T::ThermocoupleL, u"termočlánek L", C::TcL),
    thermocouple(T::ThermocoupleR, u"termočlánek R", C::TcR),
    thermocouple(T::ThermocoupleS, u"termočlánek S", C::TcS),
    thermocouple(T::ThermocoupleT, u"termočlánek T", C::TcT),
    {T::Special0to10V, u"0...10 V-spec. vstup U/I", InputFamily::SpecialSignal, std::nullopt,
     u::Volt, u::Volt, u::Volt, true, NoConnection, ListKept, {F::None, F::None}, nullptr,
     nullptr, false, nullptr, 3, 3, SubRangeScale::FixedMode, 49, 49,
     SignalBand{12.0f, -1.0f, 0.0f, 10.0f}},
    {T::Special0to20mA, u"0...20 mA-spec. vstup U/I", InputFamily::SpecialSignal, std::nullopt,
     u::Milliampere, u::Milliampere, u::Milliampere, true, NoConnection, ListKept,
     {F::None, F::None}, nullptr, nullptr, false, nullptr, 3, 3, SubRangeScale::FixedMode, 50, 50,
     SignalBand{22.0f, -2.0f, 0.0f, 20.0f}},
    {T::Special4to20mA, u"4...20 mA-spec. vstup U/I", InputFamily::SpecialSignal, std::nullopt,
     u::Milliampere, u::Milliampere, u::Milliampere, true, NoConnection, ListKept,
     {F::None, F::None}, nullptr, nullptr, false, nullptr, 3, 3, SubRangeScale::FixedMode, 51, 51,
     SignalBand{22.0f, 3.2f, 4.0f, 16.0f}},
    {T::Voltage, u"napětí", InputFamily::Voltage, std::nullopt, u::Volt, u::Volt, u::Volt, false,
     NoConnection, PlainOrFile, {F::Divider, F::None}, nullptr, nullptr, false, nullptr, 6, 6,
     SubRangeScale::MillivoltsAndVolts, 25, 25, std::nullopt},
    {T::Current, u"proud", InputFamily::Current, std::nullopt, u::Milliampere, u::Milliampere,
     u::Milliampere, true, NoConnection, PlainOrFile, {F::Shunt, F::None}, nullptr, nullptr,
     false, nullptr, 6, 6, SubRangeScale::Millivolts, 25, 25, std::nullopt, true},
    {T::ResistorDifference, u"rozdíl dvou rezistorů", InputFamily::Resistance, std::nullopt,
     u::Ohm, u::Ohm, u::Ohm, false, TwoWiresOnly, PlainOnly, {F::TotalValue, F::None},
     u"Max. hodnota součtu obou rezistorů", u"max. hodnota součtu obou rezistorů: ", false,
     nullptr, 3, 3, SubRangeScale::Ohms, 41, 41, std::nullopt, true},
    {T::PotentiometerRelative, u"potenciometr relativní", InputFamily::Resistance, std::nullopt,
     u::Percent, u::Percent, u::Ohm, false, ThreeOrFourWires, PlainOrFile,
     {F::Connection, F::TotalValue}, u"Maximální odpor potenciometru",
     u"max. hodnota potenciometru: ", false, u"100", 3, 3, SubRangeScale::Ohms, 17, 9,
     std::nullopt, true},
    // The file loads this range at three decimals, the read cuts it at six.
    {T::VoltageDifference, u"rozdíl dvou napětí", InputFamily::Voltage, std::nullopt, u::Volt,
     u::Volt, u::Volt, false, TwoWiresOnly, PlainOnly, {F::TotalValue, F::Divider},
     u"Maximální hodnota měřených napětí", u"max. hodnota napětí: ", false, nullptr, 3, 6,
     SubRangeScale::Millivolts, 45, 45, std::nullopt, true},
    {T::CurrentDifference, u"rozdíl dvou proudů", InputFamily::Current, std::nullopt,
     u::Milliampere, u::Milliampere, u::Milliampere, true, TwoWiresOnly, PlainOnly,
     {F::Shunt, F::TotalValue}, u"Maximální hodnota měřených proudů",
     u"maximální hodnota proudu: ", true, nullptr, 6, 6, SubRangeScale::Millivolts, 45, 45,
     std::nullopt, true},
}};
// clang-format on

constexpr bool rowsFollowVstupOrder()
{
    for (std::size_t i = 0; i < Rows.size(); ++i)
        if (Rows[i].type != vstupOrder[i] || Rows[i].text == nullptr)
            return false;
    return true;
}
static_assert(rowsFollowVstupOrder());

} // namespace

const InputTypeRow& inputTypeRow(InputType type)
{
    for (const InputTypeRow& row : Rows)
        if (row.type == type)
            return row;
    return Rows.front(); // unreachable: every enumerator has a row
}

const std::array<InputTypeRow, InputTypeCount>& inputTypeRows()
{
    return Rows;
}

QStringList connectionItems(ConnectionSet connections)
{
    QStringList items;
    for (auto code : {ConnectionCode::TwoWire, ConnectionCode::ThreeWire, ConnectionCode::FourWire})
        if (connections & connectionBit(code))
            items << connectionText(code);
    return items;
}

QStringList linearizationItems(LinearizationSet linearizations)
{
    QStringList items;
    for (auto choice : {L::Linearized, L::NotLinearized, L::FromFile, L::SquareRoot})
        if (linearizations & linearizationBit(choice))
            items << linearizationText(choice);
    return items;
}

} // namespace vtr8
