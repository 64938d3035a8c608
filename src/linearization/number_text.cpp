#include "linearization/number_text.h"

#include "linearization/extended_chars.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace vtr8 {

std::string formatGeneral(Extended value, int digits, char decimalSeparator)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    if (value == 0)
        return "0";

    // Round to the wanted significant digits first: the rounded value decides
    // between plain and exponent notation.
    char buffer[64];
    const auto [end, ec] = extendedToChars(buffer, buffer + sizeof buffer, value,
                                           std::chars_format::scientific, digits - 1);
    if (ec != std::errc())
        return "0";
    const std::string sci(buffer, end);
    const bool negative = sci[0] == '-';
    const std::size_t ePos = sci.find('e');
    std::string mantissa;
    for (std::size_t i = negative ? 1 : 0; i < ePos; ++i) {
        if (sci[i] != '.')
            mantissa += sci[i];
    }
    const int exponent = std::atoi(sci.c_str() + ePos + 1);
    while (mantissa.size() > 1 && mantissa.back() == '0')
        mantissa.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent < -5 || exponent >= digits) {
        out += mantissa[0];
        if (mantissa.size() > 1) {
            out += decimalSeparator;
            out.append(mantissa, 1, std::string::npos);
        }
        out += exponent < 0 ? "E-" : "E+";
        out += std::to_string(std::abs(exponent));
        return out;
    }
    if (exponent < 0) {
        out += '0';
        out += decimalSeparator;
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += mantissa;
        return out;
    }
    const auto integerDigits = static_cast<std::size_t>(exponent + 1);
    if (mantissa.size() <= integerDigits) {
        out += mantissa;
        out.append(integerDigits - mantissa.size(), '0');
        return out;
    }
    out.append(mantissa, 0, integerDigits);
    out += decimalSeparator;
    out.append(mantissa, integerDigits, std::string::npos);
    return out;
}

} // namespace vtr8
