#include "transfer/write_blocks.h"

#include "device/memory_map.h"
#include "link/command_protocol.h"
#include "transfer/sequence_support.h"

#include <QEventLoop>
#include <QTimer>

namespace vtr8 {

void WritePause(int ms)
{
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool SendEepromBlock(CommandProtocol& link, const EepromBlock& block, int pauseMs)
{
    // A block that cannot be a write command is a program fault; refuse it rather than send a
    // shortened block.
    if (block.data.empty() || block.data.size() > static_cast<std::size_t>(eeprom::MaxWriteBlock))
        return false;
    if (!WriteBlock(link, block.address, block.data))
        return false;
    WritePause(pauseMs >= 0 ? pauseMs : block.pauseAfterMs);
    return true;
}

bool SendEepromBlocks(CommandProtocol& link, const std::vector<EepromBlock>& blocks, int settleMs)
{
    for (const EepromBlock& block : blocks)
        if (!SendEepromBlock(link, block, block.pauseAfterMs > 0 ? settleMs : 0))
            return false;
    return true;
}

} // namespace vtr8
