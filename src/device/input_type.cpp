#include "device/input_type.h"

namespace vtr8 {

namespace {

struct InputTypeEntry {
    InputType type;
    const char16_t* text;
};

// In vstupOrder.
constexpr std::array<InputTypeEntry, InputTypeCount> entries{{
    {InputType::Pt100, u"odporový teploměr Pt100"},
    {InputType::Pt1000, u"odporový teploměr Pt1000"},
    {InputType::Ni100, u"odporový teploměr Ni100"},
    {InputType::Ni1000, u"odporový teploměr Ni1000"},
    {InputType::Rheostat, u"reostat"},
    {InputType::PotentiometerAbsolute, u"potenciometr absolutní"},
    {InputType::ThermocoupleB, u"termočlánek B"},
    {InputType::ThermocoupleE, u"termočlánek E"},
    {InputType::ThermocoupleJ, u"termočlánek J"},
    {InputType::ThermocoupleK, u"termočlánek K"},
    {InputType::ThermocoupleN, u"termočlánek N"},
    {InputType::ThermocoupleL, u"termočlánek L"},
    {InputType::ThermocoupleR, u"termočlánek R"},
    {InputType::ThermocoupleS, u"termočlánek S"},
    {InputType::ThermocoupleT, u"termočlánek T"},
    {InputType::Special0to10V, u"0...10 V-spec. vstup U/I"},
    {InputType::Special0to20mA, u"0...20 mA-spec. vstup U/I"},
    {InputType::Special4to20mA, u"4...20 mA-spec. vstup U/I"},
    {InputType::Voltage, u"napětí"},
    {InputType::Current, u"proud"},
    {InputType::ResistorDifference, u"rozdíl dvou rezistorů"},
    {InputType::PotentiometerRelative, u"potenciometr relativní"},
    {InputType::VoltageDifference, u"rozdíl dvou napětí"},
    {InputType::CurrentDifference, u"rozdíl dvou proudů"},
}};

constexpr bool entriesFollowVstupOrder()
{
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].type != vstupOrder[i])
            return false;
    return true;
}
static_assert(entriesFollowVstupOrder());

} // namespace

std::optional<InputType> inputTypeFromCode(std::uint8_t code)
{
    if (code < 1 || code > InputTypeCount)
        return std::nullopt;
    return static_cast<InputType>(code);
}

QString inputTypeText(InputType type)
{
    for (const auto& entry : entries)
        if (entry.type == type)
            return QString::fromUtf16(entry.text);
    return {};
}

std::optional<InputType> inputTypeFromText(const QString& text)
{
    for (const auto& entry : entries)
        if (text == QString::fromUtf16(entry.text))
            return entry.type;
    return std::nullopt;
}

QStringList vstupListItems()
{
    QStringList items;
    for (int i = 0; i < VstupListCount; ++i)
        items << QString::fromUtf16(entries[static_cast<std::size_t>(i)].text);
    return items;
}

bool isResistanceThermometer(InputType type)
{
    return type >= InputType::Pt100 && type <= InputType::Ni1000;
}

bool isThermocouple(InputType type)
{
    return type >= InputType::ThermocoupleB && type <= InputType::ThermocoupleT;
}

bool isSpecialInput(InputType type)
{
    return type >= InputType::Special0to10V && type <= InputType::Special4to20mA;
}

bool isPotentiometer(InputType type)
{
    return type == InputType::PotentiometerAbsolute || type == InputType::PotentiometerRelative;
}

bool hasSensorConnection(InputType type)
{
    return isResistanceThermometer(type) || type == InputType::Rheostat || isPotentiometer(type);
}

bool isShuntCurrent(InputType type)
{
    return type == InputType::Current || type == InputType::CurrentDifference;
}

bool isDifference(InputType type)
{
    return type == InputType::ResistorDifference || type == InputType::VoltageDifference ||
           type == InputType::CurrentDifference;
}

bool isVoltage(InputType type)
{
    return type == InputType::Voltage || type == InputType::VoltageDifference;
}

std::optional<Characteristic> sensorCharacteristic(InputType type)
{
    switch (type) {
    case InputType::Pt100:
        return Characteristic::Pt100;
    case InputType::Pt1000:
        return Characteristic::Pt1000;
    case InputType::Ni100:
        return Characteristic::Ni100;
    case InputType::Ni1000:
        return Characteristic::Ni1000;
    case InputType::ThermocoupleB:
        return Characteristic::TcB;
    case InputType::ThermocoupleE:
        return Characteristic::TcE;
    case InputType::ThermocoupleJ:
        return Characteristic::TcJ;
    case InputType::ThermocoupleK:
        return Characteristic::TcK;
    case InputType::ThermocoupleL:
        return Characteristic::TcL;
    case InputType::ThermocoupleN:
        return Characteristic::TcN;
    case InputType::ThermocoupleR:
        return Characteristic::TcR;
    case InputType::ThermocoupleS:
        return Characteristic::TcS;
    case InputType::ThermocoupleT:
        return Characteristic::TcT;
    default:
        return std::nullopt;
    }
}

} // namespace vtr8
