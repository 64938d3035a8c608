#include "transfer/sequence_support.h"

#include "device/device_float.h"
#include "link/command_protocol.h"
#include "transfer/transfer_context.h"

namespace vtr8 {

void ShowProgress(const TransferContext& ctx, int position)
{
    if (ctx.feedback.progress)
        ctx.feedback.progress(position);
}

bool ReadBlock(CommandProtocol& link, std::uint16_t address, std::uint8_t count)
{
    link.ReadKonst(address, count);
    return link.CommError == 0;
}

bool WriteBlock(CommandProtocol& link, std::uint16_t address, std::uint8_t count)
{
    link.SendCommand("WriteEEPROM", address, count);
    link.WaitForReply();
    return link.CommError == 0;
}

bool SendSimpleCommand(CommandProtocol& link, const char* name)
{
    link.SendCommand(name, 0, 0);
    link.WaitForReply();
    return link.CommError == 0;
}

// Data of a read start at ReplyData[3]: the byte of address a + k is ReplyData[3 + k].
std::uint8_t ReplyByte(const CommandProtocol& link, std::uint16_t readAddress,
                       std::uint16_t address)
{
    const int position = 3 + (address - readAddress);
    if (position < 1 || position >= static_cast<int>(link.ReplyData.size()))
        return 0;
    return link.ReplyData[static_cast<std::size_t>(position)];
}

float ReplyDeviceFloat(const CommandProtocol& link, std::uint16_t readAddress,
                       std::uint16_t address)
{
    return GetDeviceFloat(link.ReplyData, 3 + (address - readAddress));
}

} // namespace vtr8
