#pragma once

#include "linearization/characteristic.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

namespace vtr8 {

// The transmitter's 24 input types. Each enumerator's value is the code the
// transmitter stores in byte 400; thermocouple L is 12 and N is 13 in both
// directions. The Vstup list shows the first 20 of vstupOrder; the other four
// come in only by reading the transmitter, loading a file, or pasting the exact text.
enum class InputType : std::uint8_t {
    Pt100 = 1,
    Pt1000 = 2,
    Ni100 = 3,
    Ni1000 = 4,
    Rheostat = 5,
    PotentiometerAbsolute = 6,
    PotentiometerRelative = 7,
    ThermocoupleB = 8,
    ThermocoupleE = 9,
    ThermocoupleJ = 10,
    ThermocoupleK = 11,
    ThermocoupleL = 12,
    ThermocoupleN = 13,
    ThermocoupleR = 14,
    ThermocoupleS = 15,
    ThermocoupleT = 16,
    Voltage = 17,
    Current = 18,
    ResistorDifference = 19,
    VoltageDifference = 20,
    CurrentDifference = 21,
    Special0to10V = 22,
    Special0to20mA = 23,
    Special4to20mA = 24,
};
inline constexpr int InputTypeCount = 24;
inline constexpr int VstupListCount = 20;

// Every input type in the order the program offers them: the 20 Vstup list
// entries first, then the four that are never offered.
inline constexpr std::array<InputType, InputTypeCount> vstupOrder{
    InputType::Pt100,
    InputType::Pt1000,
    InputType::Ni100,
    InputType::Ni1000,
    InputType::Rheostat,
    InputType::PotentiometerAbsolute,
    InputType::ThermocoupleB,
    InputType::ThermocoupleE,
    InputType::ThermocoupleJ,
    InputType::ThermocoupleK,
    InputType::ThermocoupleN,
    InputType::ThermocoupleL,
    InputType::ThermocoupleR,
    InputType::ThermocoupleS,
    InputType::ThermocoupleT,
    InputType::Special0to10V,
    InputType::Special0to20mA,
    InputType::Special4to20mA,
    InputType::Voltage,
    InputType::Current,
    InputType::ResistorDifference,
    InputType::PotentiometerRelative,
    InputType::VoltageDifference,
    InputType::CurrentDifference,
};

// Byte 400 and back; a byte that is no input type is nullopt.
constexpr std::uint8_t deviceCode(InputType type)
{
    return static_cast<std::uint8_t>(type);
}
std::optional<InputType> inputTypeFromCode(std::uint8_t code);

// The exact Czech text shown in Vstup ("odporový teploměr Pt100", "termočlánek K", ...).
QString inputTypeText(InputType type);
// Exact text match only; anything else (a prefix, other case, extra blanks) is nullopt.
std::optional<InputType> inputTypeFromText(const QString& text);
// The 20 items of the Vstup list, in order.
QStringList vstupListItems();

bool isResistanceThermometer(InputType type); // Pt100, Pt1000, Ni100, Ni1000
bool isThermocouple(InputType type);          // B, E, J, K, N, L, R, S, T
bool isSpecialInput(InputType type);          // the three special U/I inputs
// Types with a sensor connection: the RTDs, the rheostat and both potentiometers.
bool hasSensorConnection(InputType type);
bool isPotentiometer(InputType type);
// "proud" and "rozdíl dvou proudů": the range is measured across a shunt resistor.
bool isShuntCurrent(InputType type);
// The transmitter shows volts: "napětí" and "rozdíl dvou napětí".
bool isVoltage(InputType type);

// The sensor's own reference characteristic for RTDs and thermocouples; nullopt otherwise.
std::optional<Characteristic> sensorCharacteristic(InputType type);

} // namespace vtr8
