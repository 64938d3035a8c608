#include "transfer/sequence_support.h"

#include "device/device_float.h"
#include "link/command_protocol.h"
#include "transfer/transfer_context.h"

#include <algorithm>
#include <optional>

namespace vtr8 {

void ShowProgress(const TransferContext& ctx, int position)
{
    if (ctx.feedback.progress)
        ctx.feedback.progress(position);
}

bool ReadBlock(CommandProtocol& link, std::uint16_t address, std::uint8_t count)
{
    return link.readEeprom(address, count).ok();
}

bool WriteBlock(CommandProtocol& link, std::uint16_t address, std::span<const std::uint8_t> bytes)
{
    return link.writeEeprom(address, bytes).ok();
}

bool SendSimpleCommand(CommandProtocol& link, Command command)
{
    return link.send(command).ok();
}

std::uint8_t ReplyDataByte(const CommandProtocol& link, int k)
{
    const Bytes& data = link.lastReply().data;
    return k >= 0 && k < static_cast<int>(data.size()) ? data[static_cast<std::size_t>(k)] : 0;
}

std::uint8_t ReplyByte(const CommandProtocol& link, std::uint16_t readAddress,
                       std::uint16_t address)
{
    return ReplyDataByte(link, address - readAddress);
}

namespace {

// Four bytes of the last reply's data from byte k on, or nothing when they are not all there.
std::optional<DeviceFloatBytes> ReplyFour(const CommandProtocol& link, int k)
{
    const Bytes& data = link.lastReply().data;
    if (k < 0 || k + 4 > static_cast<int>(data.size()))
        return std::nullopt;
    DeviceFloatBytes four{};
    std::copy_n(data.begin() + k, 4, four.begin());
    return four;
}

} // namespace

float ReplyDeviceFloat(const CommandProtocol& link, std::uint16_t readAddress,
                       std::uint16_t address)
{
    const auto four = ReplyFour(link, address - readAddress);
    return four ? DecodeDeviceFloat(*four) : 0.0F;
}

float ReplyReversedDeviceFloat(const CommandProtocol& link, int k)
{
    const auto four = ReplyFour(link, k);
    return four ? DecodeReversedDeviceFloat(*four) : 0.0F;
}

} // namespace vtr8
