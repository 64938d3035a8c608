#include "transfer/process_value_display.h"

#include <QLocale>
#include <QRegularExpression>

#include <bit>
#include <cmath>

namespace vtr8 {

float decodeProcessValue(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3)
{
    if (b0 == 0x7F || b0 == 0xFF)
        b1 = b2 = b3 = 0;
    const std::uint32_t bits = (std::uint32_t{b0} << 24) | (std::uint32_t{b1} << 16) |
                               (std::uint32_t{b2} << 8) | std::uint32_t{b3};
    float value = std::bit_cast<float>(bits);
    constexpr float Limit = 1.0e30f;
    if (value < -Limit)
        value = -Limit;
    else if (value > Limit)
        value = Limit;
    return value;
}

int processValueDecimals(std::optional<InputType> input, std::optional<Linearization> linearization)
{
    if (!input)
        return 3;
    if (isVoltage(*input))
        return 6;
    if (isThermocouple(*input))
        return linearization == Linearization::Linearized ? 3 : 6;
    return 3;
}

QString formatProcessValue(float value, int decimals)
{
    // The C locale omits group separators and always uses a point.
    QString text = QLocale::c().toString(static_cast<double>(value), 'f', decimals);
    // A reading that rounds to zero shows no sign, as the fields do.
    static const QRegularExpression negativeZero(QStringLiteral("^-0(\\.0*)?$"));
    if (negativeZero.match(text).hasMatch())
        text.remove(0, 1);
    if (text.size() < 3)
        text = text.rightJustified(3, QLatin1Char(' '));
    return text;
}

std::optional<QString> processValueUnitText(std::uint8_t unitCode)
{
    if (unitCode == unit_code::None)
        return QString();
    QString text = unitText(unitCode);
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

} // namespace vtr8
