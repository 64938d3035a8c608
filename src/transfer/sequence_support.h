#pragma once

#include "model/main_window_model.h"

#include <cstdint>

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

struct TransferContext;

// The progress of a sequence, through the context's feedback.
void ShowProgress(const TransferContext& ctx, int position);

// The progress bar Prenos, shown at once.
void SetPrenos(MainWindowModel& model, int position);

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
