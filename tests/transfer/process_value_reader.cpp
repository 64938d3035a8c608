#include "process_value_reader.h"

#include "link/command_protocol.h"

#include <bit>
#include <cstdint>

namespace vtr8::test {

std::optional<double> ReadProcessValue(CommandProtocol& link)
{
    const auto reply = link.send(Command::ReadPV);
    if (!reply || reply.value.data.size() < 5)
        return std::nullopt;
    // The unit code, then the value high byte first.
    std::uint32_t bits = 0;
    for (std::size_t i = 1; i <= 4; ++i)
        bits = bits << 8 | reply.value.data[i];
    return std::bit_cast<float>(bits);
}

} // namespace vtr8::test
