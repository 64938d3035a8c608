#pragma once

#include "linearization/extended.h"

#include <string>

namespace vtr8 {

// General number-to-text form of the program's messages: up to `digits`
// significant digits, trailing zeros and a trailing separator dropped, plain
// notation unless the magnitude is below 1e-5 or needs more than `digits`
// integer digits, then d.dddE+x. The decimal separator is the C library's
// current locale's (the window sets the user's locale at start-up).
std::string formatGeneral(Extended value, int digits = 15);

// The same with an explicit decimal separator.
std::string formatGeneral(Extended value, int digits, char decimalSeparator);

} // namespace vtr8
