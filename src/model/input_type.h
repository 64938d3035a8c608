#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace vtr8 {

// The transmitter's 24 input types. The first 20 are the entries of the Vstup
// list, in list order; the last four come in only by reading the transmitter,
// loading a file, or pasting the exact text.
enum class InputType {
    Pt100,
    Pt1000,
    Ni100,
    Ni1000,
    Rheostat,
    PotentiometerAbsolute,
    ThermocoupleB,
    ThermocoupleE,
    ThermocoupleJ,
    ThermocoupleK,
    ThermocoupleN,
    ThermocoupleL,
    ThermocoupleR,
    ThermocoupleS,
    ThermocoupleT,
    Special0to10V,
    Special0to20mA,
    Special4to20mA,
    Voltage,
    Current,
    ResistorDifference,
    PotentiometerRelative,
    VoltageDifference,
    CurrentDifference,
};
inline constexpr int InputTypeCount = 24;
inline constexpr int VstupListCount = 20;

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
// The three difference types, whose connection and linearization are fixed.
bool isDifference(InputType type);

} // namespace vtr8
