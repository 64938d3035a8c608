#pragma once

#include "linearization/extended.h"

#include <charconv>

namespace vtr8 {

// std::from_chars for the extended type (decimal point, no leading plus or blanks), to the
// full 64-bit precision on every platform: MinGW's C++ library reads this type only to
// double precision.
std::from_chars_result extendedFromChars(const char* first, const char* last, Extended& value);

// std::to_chars for the extended type, always with a decimal point: MinGW's C++ library writes
// this type through the C library, which puts in the C locale's decimal separator.
std::to_chars_result extendedToChars(char* first, char* last, Extended value);
std::to_chars_result extendedToChars(char* first, char* last, Extended value,
                                     std::chars_format format, int precision);

} // namespace vtr8
