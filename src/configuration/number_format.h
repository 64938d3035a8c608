#pragma once

#include "linearization/extended.h"

#include <QChar>
#include <QString>

#include <optional>

// Every number the editor shows, parses or writes passes through here, so the
// decimal separator and the rounding rule are decided in one place.
namespace vtr8 {

// The decimal separator of the person's locale: ',' in a Czech locale, '.' in
// most others. Fields are normalised to it before they are parsed.
QChar localeDecimalSeparator();

// For tests: forces the separator until reset with std::nullopt.
void overrideLocaleDecimalSeparator(std::optional<QChar> separator);

// Rewrites every ',' and '.' of `text` to the locale's separator; nothing else
// changes and the length stays the same.
QString UpravaFormatu(const QString& text);

// Fixed notation with `decimals` decimals and always a point ("-200.000"), padded
// on the left with blanks to at least `width` characters. Rounds to nearest, ties
// to even on the exact binary value.
QString formatFixed(Extended value, int decimals, int width = 0);

// Up to `digits` significant digits, trailing zeros and a trailing separator
// removed; plain notation unless the magnitude is below 1e-5 or needs more than
// `digits` integer digits, then "d.dddE+x". The separator is `separator`.
QString formatGeneral(Extended value, int digits, QChar separator);
// The same with the locale's separator: what a field shows.
QString formatGeneral(Extended value, int digits = 10);

// A strict parse of the whole text (blanks around it allowed) with the given
// decimal separator: optional sign, digits, optional separator and digits,
// optional exponent. No thousands separators, nothing after the number.
[[nodiscard]] std::optional<Extended> parseNumber(const QString& text, QChar separator);
// The same with the locale's separator: how a field's text becomes a value.
[[nodiscard]] std::optional<Extended> parseLocaleNumber(const QString& text);

// The nearest multiple of 10^-decimals, ties to even.
Extended roundToDecimals(Extended value, int decimals);
// The nearest whole number, ties to even.
Extended roundHalfEven(Extended value);

} // namespace vtr8
