#pragma once

#include "device/eeprom_block.h"
#include "device/memory_map.h"

#include <QString>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// A picture of the transmitter's memory as far as it was read, and the reads that fill it.
namespace vtr8 {

namespace eeprom {
inline constexpr int MemorySize = 2048;
} // namespace eeprom

class MemoryImage {
public:
    // Stores bytes from address on; bytes past the end of memory are dropped.
    void store(eeprom::Address address, std::span<const std::uint8_t> bytes);
    void store(const EepromBlock& block) { store(block.address, block.data); }
    // True when every byte of the run was stored.
    bool holds(eeprom::Address address, int count) const;
    std::uint8_t at(eeprom::Address address) const { return bytes_.at(address); }
    std::vector<std::uint8_t> bytes(eeprom::Address address, int count) const;
    const std::array<std::uint8_t, eeprom::MemorySize>& all() const { return bytes_; }

private:
    std::array<std::uint8_t, eeprom::MemorySize> bytes_{};
    std::array<bool, eeprom::MemorySize> known_{};
};

// One "ReadEEPROM": count bytes from address.
struct ReadRun {
    eeprom::Address address = 0;
    int count = 0;
    bool operator==(const ReadRun&) const = default;
};

// The fewest reads that cover every byte the blocks write, each at most MaxReadBlock long, in
// address order; a read may take unwritten bytes between blocks.
std::vector<ReadRun> ReadsCovering(const std::vector<EepromBlock>& blocks);
// The whole memory in reads of MaxReadBlock.
std::vector<ReadRun> WholeMemoryReads();

// The blocks as the memory holds them once all are written in order: a block written twice (the
// front-end stage writes a value first that a later block replaces) appears once, with what
// the last write left there, and the pause of its last write.
std::vector<EepromBlock> FinalBlocks(const std::vector<EepromBlock>& blocks);

// 16 bytes a line, the address first: "0000: 00 11 ... ".
QString HexDump(std::span<const std::uint8_t> bytes);

} // namespace vtr8
