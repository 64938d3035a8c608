#pragma once

#include "link/frame.h"

#include <cstdint>
#include <span>

namespace vtr8 {

class CommandProtocol;

struct TransferContext;

// The progress of a sequence, through the context's feedback.
void ShowProgress(const TransferContext& ctx, int position);

// One "ReadEEPROM"; true when the reply arrived. Its bytes are then the link's lastReply().
[[nodiscard]] bool ReadBlock(CommandProtocol& link, std::uint16_t address, std::uint8_t count);
// One "WriteEEPROM" of `bytes` at `address`; true when it was acknowledged.
[[nodiscard]] bool WriteBlock(CommandProtocol& link, std::uint16_t address,
                              std::span<const std::uint8_t> bytes);
// A command without data (Stop, Reset, NastOfs, ...); true on success.
[[nodiscard]] bool SendSimpleCommand(CommandProtocol& link, Command command);

// Byte k of the last reply's own data (after its two status bytes); 0 beyond it.
std::uint8_t ReplyDataByte(const CommandProtocol& link, int k);
// The byte at EEPROM address `address` of the last read that started at `readAddress`.
std::uint8_t ReplyByte(const CommandProtocol& link, std::uint16_t readAddress,
                       std::uint16_t address);
// The DeviceFloat at `address` of the last read that started at `readAddress`.
float ReplyDeviceFloat(const CommandProtocol& link, std::uint16_t readAddress,
                       std::uint16_t address);
// The byte-reversed DeviceFloat whose first byte is byte k of the last reply's data.
float ReplyReversedDeviceFloat(const CommandProtocol& link, int k);

} // namespace vtr8
