#include "configuration/configuration.h"

namespace vtr8 {

int rangeDecimals(InputType input)
{
    return input == InputType::Voltage || input == InputType::Current ||
                   input == InputType::CurrentDifference
               ? 6
               : 3;
}

} // namespace vtr8
