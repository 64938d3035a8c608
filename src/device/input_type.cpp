#include "device/input_type.h"

#include "device/input_type_table.h"

namespace vtr8 {

std::optional<InputType> inputTypeFromCode(std::uint8_t code)
{
    if (code < 1 || code > InputTypeCount)
        return std::nullopt;
    return static_cast<InputType>(code);
}

QString inputTypeText(InputType type)
{
    return QString::fromUtf16(inputTypeRow(type).text);
}

std::optional<InputType> inputTypeFromText(const QString& text)
{
    for (const InputTypeRow& row : inputTypeRows())
        if (text == QString::fromUtf16(row.text))
            return row.type;
    return std::nullopt;
}

QStringList vstupListItems()
{
    QStringList items;
    for (int i = 0; i < VstupListCount; ++i)
        items << QString::fromUtf16(inputTypeRows()[static_cast<std::size_t>(i)].text);
    return items;
}

bool isResistanceThermometer(InputType type)
{
    return inputTypeRow(type).family == InputFamily::ResistanceThermometer;
}

bool isThermocouple(InputType type)
{
    return inputTypeRow(type).family == InputFamily::Thermocouple;
}

bool isSpecialInput(InputType type)
{
    return inputTypeRow(type).family == InputFamily::SpecialSignal;
}

bool isPotentiometer(InputType type)
{
    return type == InputType::PotentiometerAbsolute || type == InputType::PotentiometerRelative;
}

bool hasSensorConnection(InputType type)
{
    return inputTypeRow(type).has(InputField::Connection);
}

bool isShuntCurrent(InputType type)
{
    return inputTypeRow(type).has(InputField::Shunt);
}

bool isVoltage(InputType type)
{
    return inputTypeRow(type).has(InputField::Divider);
}

std::optional<Characteristic> sensorCharacteristic(InputType type)
{
    return inputTypeRow(type).sensor;
}

} // namespace vtr8
