#include "process_value_reader.h"

#include "link/command_protocol.h"

#include <bit>
#include <cstdint>

namespace vtr8::test {

std::optional<double> ReadProcessValue(CommandProtocol& link)
{
    link.SendCommand("ReadPV");
    link.WaitForReply();
    if (link.CommError != 0)
        return std::nullopt;
    std::uint32_t bits = 0;
    for (int i = 4; i <= 7; ++i)
        bits = bits << 8 | link.ReplyData[static_cast<std::size_t>(i)];
    return std::bit_cast<float>(bits);
}

} // namespace vtr8::test
