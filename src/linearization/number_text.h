#pragma once

#include "linearization/extended.h"

#include <string>

namespace vtr8 {

// The program's general number form (fields, files, messages): up to `digits` significant
// digits, trailing zeros and a trailing separator dropped, plain notation unless the magnitude
// is below 1e-5 or needs more than `digits` integer digits, then d.dddE+x. The caller gives the
// separator; the person's comes from configuration's localeDecimalSeparator.
std::string formatGeneral(Extended value, int digits, char decimalSeparator);

} // namespace vtr8
