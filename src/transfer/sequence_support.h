#pragma once

#include "link/frame.h"
#include "model/main_window_model.h"

#include <cstdint>
#include <span>

namespace vtr8 {

class CommandProtocol;

// Disables a button of the main window for the life of a transfer and enables it
// again on every way out, so no early return can leave it dead.
class DisabledButton {
public:
    DisabledButton(MainWindowModel& model, Control& button);
    ~DisabledButton();
    DisabledButton(const DisabledButton&) = delete;
    DisabledButton& operator=(const DisabledButton&) = delete;

private:
    MainWindowModel& model_;
    Control& button_;
};

// The progress bar Prenos, shown at once.
void SetPrenos(MainWindowModel& model, int position);

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
