#include "device/memory_image.h"

#include <algorithm>

namespace vtr8 {

void MemoryImage::store(eeprom::Address address, std::span<const std::uint8_t> bytes)
{
    for (std::size_t i = 0; i < bytes.size() && address + i < bytes_.size(); ++i) {
        bytes_[address + i] = bytes[i];
        known_[address + i] = true;
    }
}

bool MemoryImage::holds(eeprom::Address address, int count) const
{
    if (count < 0 || address + count > eeprom::MemorySize)
        return false;
    return std::all_of(known_.begin() + address, known_.begin() + address + count,
                       [](bool known) { return known; });
}

std::vector<std::uint8_t> MemoryImage::bytes(eeprom::Address address, int count) const
{
    const int end = std::min(address + count, eeprom::MemorySize);
    if (end <= address)
        return {};
    return {bytes_.begin() + address, bytes_.begin() + end};
}

std::vector<ReadRun> ReadsCovering(const std::vector<EepromBlock>& blocks)
{
    std::array<bool, eeprom::MemorySize> wanted{};
    for (const EepromBlock& block : blocks)
        for (std::size_t i = 0; i < block.data.size() && block.address + i < wanted.size(); ++i)
            wanted[block.address + i] = true;
    // Each read starts at the first byte still wanted and takes the wanted bytes of the next
    // MaxReadBlock, gaps included: a few bytes more in a reply cost less than another command.
    std::vector<ReadRun> reads;
    for (int a = 0; a < eeprom::MemorySize; ++a) {
        if (!wanted[a])
            continue;
        const int windowEnd = std::min(a + eeprom::MaxReadBlock, eeprom::MemorySize);
        int last = a;
        for (int b = a; b < windowEnd; ++b)
            if (wanted[b])
                last = b;
        reads.push_back({static_cast<eeprom::Address>(a), last - a + 1});
        a = last;
    }
    return reads;
}

std::vector<ReadRun> WholeMemoryReads()
{
    std::vector<ReadRun> reads;
    for (int a = 0; a < eeprom::MemorySize; a += eeprom::MaxReadBlock)
        reads.push_back({static_cast<eeprom::Address>(a), eeprom::MaxReadBlock});
    return reads;
}

std::vector<EepromBlock> FinalBlocks(const std::vector<EepromBlock>& blocks)
{
    MemoryImage after;
    for (const EepromBlock& block : blocks)
        after.store(block);
    std::vector<EepromBlock> result;
    for (const EepromBlock& block : blocks) {
        const auto same = std::find_if(result.begin(), result.end(), [&](const EepromBlock& b) {
            return b.address == block.address && b.data.size() == block.data.size();
        });
        if (same != result.end())
            same->pauseAfterMs = block.pauseAfterMs;
        else
            result.push_back({block.address, after.bytes(block.address, int(block.data.size())),
                              block.pauseAfterMs});
    }
    return result;
}

QString HexDump(std::span<const std::uint8_t> bytes)
{
    QString text;
    for (std::size_t line = 0; line < bytes.size(); line += 16) {
        text += QStringLiteral("%1:").arg(line, 4, 16, QLatin1Char('0')).toUpper();
        for (std::size_t i = line; i < std::min(line + 16, bytes.size()); ++i)
            text += QStringLiteral(" %1").arg(bytes[i], 2, 16, QLatin1Char('0')).toUpper();
        text += QLatin1Char('\n');
    }
    return text;
}

} // namespace vtr8
