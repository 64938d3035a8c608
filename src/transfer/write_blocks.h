#pragma once

#include "device/eeprom_block.h"

#include <vector>

namespace vtr8 {

class CommandProtocol;

// Waits ms milliseconds in a nested event loop, so polling and repaints go on.
void WritePause(int ms);

// One "WriteEEPROM" of the block; afterwards the block's own pause, or pauseMs when given.
// True when the block was acknowledged.
[[nodiscard]] bool SendEepromBlock(CommandProtocol& link, const EepromBlock& block,
                                   int pauseMs = -1);
// The blocks in order, ending at the first failed command. A block that asks for a pause waits
// settleMs after it. True when every block was acknowledged.
[[nodiscard]] bool SendEepromBlocks(CommandProtocol& link, const std::vector<EepromBlock>& blocks,
                                    int settleMs);

} // namespace vtr8
