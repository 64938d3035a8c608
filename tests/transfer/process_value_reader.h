#pragma once

#include <optional>

namespace vtr8 {
class CommandProtocol;
}

namespace vtr8::test {

// One "ReadPV": the process value (IEEE single, high byte first after the unit code), or
// nullopt when the command failed.
std::optional<double> ReadProcessValue(CommandProtocol& link);

} // namespace vtr8::test
