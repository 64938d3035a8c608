#include "configuration/configuration.h"

#include "device/input_type_table.h"

namespace vtr8 {

int rangeDecimals(InputType input)
{
    return inputTypeRow(input).fileDecimals;
}

} // namespace vtr8
