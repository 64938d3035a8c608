#include "transfer/process_value_display.h"

#include <QLocale>
#include <QRegularExpression>

#include <bit>
#include <cmath>

namespace vtr8 {

float DecodeProcessValue(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3)
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

int ProcessValueDecimals(const QString& inputTypeText, const QString& linearizationText)
{
    if (inputTypeText == QStringLiteral("napětí") ||
        inputTypeText == QStringLiteral("rozdíl dvou napětí"))
        return 6;
    static const char16_t* const thermocouples[] = {
        u"termočlánek B", u"termočlánek E", u"termočlánek J", u"termočlánek K", u"termočlánek L",
        u"termočlánek N", u"termočlánek R", u"termočlánek S", u"termočlánek T"};
    for (const char16_t* name : thermocouples) {
        if (inputTypeText == QString::fromUtf16(name))
            return linearizationText == QStringLiteral("linearizováno") ? 3 : 6;
    }
    return 3;
}

QString FormatProcessValue(float value, int decimals)
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

std::optional<QString> ProcessValueUnitText(std::uint8_t unitCode)
{
    switch (unitCode) {
    case 32:
        return QStringLiteral("°C");
    case 37:
        return QStringLiteral("Ohm");
    case 39:
        return QStringLiteral("mA");
    case 57:
        return QStringLiteral("%");
    case 58:
        return QStringLiteral("V");
    case 251:
        return QString();
    default:
        return std::nullopt;
    }
}

} // namespace vtr8
