#pragma once

#include "link/command_protocol.h"

namespace vtr8 {

// The wire-level calling pattern the typed commands are built from, for the link's own tests.
struct WireAccess {
    explicit WireAccess(CommandProtocol& p)
        : TransferBuffer(p.TransferBuffer), ReplyData(p.ReplyData), CommError(p.CommError), p_(p)
    {
    }
    std::array<std::uint8_t, 26>& TransferBuffer;
    const std::array<std::uint8_t, 26>& ReplyData;
    const std::uint8_t& CommError;
    void SendCommand(std::string_view name, std::uint16_t address = 0, std::uint8_t count = 0)
    {
        p_.SendCommand(name, address, count);
    }
    void WaitForReply() { p_.WaitForReply(); }

private:
    CommandProtocol& p_;
};

} // namespace vtr8
