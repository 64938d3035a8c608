#pragma once

#include "linearization/extended.h"

#include <charconv>

namespace vtr8 {

// std::from_chars for the extended type (decimal point, no leading plus or blanks), to the
// full 64-bit precision on every platform: MinGW's C++ library reads this type only to
// double precision.
std::from_chars_result extendedFromChars(const char* first, const char* last, Extended& value);

} // namespace vtr8
