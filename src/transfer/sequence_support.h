#pragma once

#include <cstdint>

namespace vtr8 {

class CommandProtocol;

struct TransferContext;

// The progress of a sequence, through the context's feedback.
void ShowProgress(const TransferContext& ctx, int position);

// One "ReadEEPROM"; true when the reply arrived (CommError 0).
[[nodiscard]] bool ReadBlock(CommandProtocol& link, std::uint16_t address, std::uint8_t count);
// One "WriteEEPROM" of TransferBuffer[1..count]; true when it was acknowledged.
[[nodiscard]] bool WriteBlock(CommandProtocol& link, std::uint16_t address, std::uint8_t count);
// A command without data ("Stop", "Reset", "NastOfs", ...); true on success.
[[nodiscard]] bool SendSimpleCommand(CommandProtocol& link, const char* name);

// The byte at EEPROM address `address` of the last read that started at `readAddress`.
std::uint8_t ReplyByte(const CommandProtocol& link, std::uint16_t readAddress,
                       std::uint16_t address);
// The DeviceFloat at `address` of the last read that started at `readAddress`.
float ReplyDeviceFloat(const CommandProtocol& link, std::uint16_t readAddress,
                       std::uint16_t address);

} // namespace vtr8
