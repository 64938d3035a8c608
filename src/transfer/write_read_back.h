#pragma once

#include "device/eeprom_block.h"

#include <vector>

namespace vtr8 {

struct TransferContext;

// The check after the blocks of a write, before the transmitter is restarted: reads back every
// block that was written and compares it byte for byte with what the last write of it sent. A
// block that differs is named with its fields, written once more and read again; if it still
// differs the person is told and the result is false. Progress runs on Prenos from 0 to 100.
bool ReadBackWrittenBlocks(TransferContext& ctx, const std::vector<EepromBlock>& written);

} // namespace vtr8
