#include "configuration/number_format.h"

#include "linearization/extended_chars.h"
#include "linearization/number_text.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace vtr8 {

namespace {

std::optional<QChar> separatorOverride;

} // namespace

QChar localeDecimalSeparator()
{
    if (separatorOverride)
        return *separatorOverride;
    const QString point = QLocale::system().decimalPoint();
    // Only a point or a comma can come out: a locale that does not read "1.0" as
    // a number is treated as a comma locale.
    return point == QLatin1String(".") ? QLatin1Char('.') : QLatin1Char(',');
}

void overrideLocaleDecimalSeparator(std::optional<QChar> separator)
{
    separatorOverride = separator;
}

QString UpravaFormatu(const QString& text)
{
    const QChar separator = localeDecimalSeparator();
    QString result = text;
    for (QChar& c : result) {
        if (c == QLatin1Char(',') || c == QLatin1Char('.'))
            c = separator;
    }
    return result;
}

QString formatFixed(Extended value, int decimals, int width)
{
    char buffer[6000]; // fixed notation of the largest long double needs about 4950 digits
    const auto result =
        extendedToChars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    QString text = result.ec == std::errc{} ? QString::fromLatin1(buffer, result.ptr - buffer)
                                            : QStringLiteral("0");
    // A value that rounds to zero is shown without a sign.
    if (text.startsWith(QLatin1Char('-')) &&
        text.mid(1).remove(QLatin1Char('0')).remove(QLatin1Char('.')).isEmpty())
        text.remove(0, 1);
    if (text.size() < width)
        text = QString(width - text.size(), QLatin1Char(' ')) + text;
    return text;
}

QString formatGeneral(Extended value, int digits, QChar separator)
{
    return QString::fromStdString(vtr8::formatGeneral(value, digits, separator.toLatin1()));
}

QString formatGeneral(Extended value, int digits)
{
    return formatGeneral(value, digits, localeDecimalSeparator());
}

std::optional<Extended> parseNumber(const QString& text, QChar separator)
{
    const QString trimmed = text.trimmed();
    std::string ascii;
    ascii.reserve(std::size_t(trimmed.size()));
    qsizetype i = 0;
    const qsizetype n = trimmed.size();
    auto isDigit = [&](qsizetype at) {
        return at < n && trimmed[at] >= QLatin1Char('0') && trimmed[at] <= QLatin1Char('9');
    };
    if (i < n && (trimmed[i] == QLatin1Char('+') || trimmed[i] == QLatin1Char('-'))) {
        if (trimmed[i] == QLatin1Char('-'))
            ascii.push_back('-');
        ++i;
    }
    int mantissaDigits = 0;
    while (isDigit(i)) {
        ascii.push_back(char(trimmed[i++].unicode()));
        ++mantissaDigits;
    }
    if (i < n && trimmed[i] == separator) {
        ascii.push_back('.');
        ++i;
        while (isDigit(i)) {
            ascii.push_back(char(trimmed[i++].unicode()));
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < n && (trimmed[i] == QLatin1Char('e') || trimmed[i] == QLatin1Char('E'))) {
        ascii.push_back('e');
        ++i;
        if (i < n && (trimmed[i] == QLatin1Char('+') || trimmed[i] == QLatin1Char('-')))
            ascii.push_back(char(trimmed[i++].unicode()));
        if (!isDigit(i))
            return std::nullopt;
        while (isDigit(i))
            ascii.push_back(char(trimmed[i++].unicode()));
    }
    if (i != n)
        return std::nullopt;
    Extended value = 0;
    const auto result = extendedFromChars(ascii.data(), ascii.data() + ascii.size(), value);
    if (result.ec != std::errc{} || result.ptr != ascii.data() + ascii.size())
        return std::nullopt;
    return value;
}

std::optional<Extended> parseLocaleNumber(const QString& text)
{
    return parseNumber(text, localeDecimalSeparator());
}

Extended roundHalfEven(Extended value)
{
    // nearbyint rounds in the current rounding mode, which the program never
    // changes from round-to-nearest-even.
    return std::nearbyintl(value);
}

Extended roundToDecimals(Extended value, int decimals)
{
    const Extended scale = std::pow(Extended(10), Extended(decimals));
    return roundHalfEven(value * scale) / scale;
}

} // namespace vtr8
