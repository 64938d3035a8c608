#include "model/input_type.h"

#include <array>

namespace vtr8 {

namespace {

// Indexed by InputType; the order of the first 20 is the order of the Vstup list.
const std::array<QString, InputTypeCount>& texts()
{
    static const std::array<QString, InputTypeCount> table{
        QStringLiteral("odporový teploměr Pt100"),
        QStringLiteral("odporový teploměr Pt1000"),
        QStringLiteral("odporový teploměr Ni100"),
        QStringLiteral("odporový teploměr Ni1000"),
        QStringLiteral("reostat"),
        QStringLiteral("potenciometr absolutní"),
        QStringLiteral("termočlánek B"),
        QStringLiteral("termočlánek E"),
        QStringLiteral("termočlánek J"),
        QStringLiteral("termočlánek K"),
        QStringLiteral("termočlánek N"),
        QStringLiteral("termočlánek L"),
        QStringLiteral("termočlánek R"),
        QStringLiteral("termočlánek S"),
        QStringLiteral("termočlánek T"),
        QStringLiteral("0...10 V-spec. vstup U/I"),
        QStringLiteral("0...20 mA-spec. vstup U/I"),
        QStringLiteral("4...20 mA-spec. vstup U/I"),
        QStringLiteral("napětí"),
        QStringLiteral("proud"),
        QStringLiteral("rozdíl dvou rezistorů"),
        QStringLiteral("potenciometr relativní"),
        QStringLiteral("rozdíl dvou napětí"),
        QStringLiteral("rozdíl dvou proudů"),
    };
    return table;
}

} // namespace

QString inputTypeText(InputType type)
{
    return texts()[static_cast<std::size_t>(type)];
}

std::optional<InputType> inputTypeFromText(const QString& text)
{
    const auto& table = texts();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i] == text)
            return static_cast<InputType>(i);
    }
    return std::nullopt;
}

QStringList vstupListItems()
{
    QStringList items;
    for (int i = 0; i < VstupListCount; ++i)
        items << texts()[static_cast<std::size_t>(i)];
    return items;
}

bool isResistanceThermometer(InputType type)
{
    return type == InputType::Pt100 || type == InputType::Pt1000 || type == InputType::Ni100 ||
           type == InputType::Ni1000;
}

bool isThermocouple(InputType type)
{
    return type >= InputType::ThermocoupleB && type <= InputType::ThermocoupleT;
}

bool isSpecialInput(InputType type)
{
    return type == InputType::Special0to10V || type == InputType::Special0to20mA ||
           type == InputType::Special4to20mA;
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

} // namespace vtr8
