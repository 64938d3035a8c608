#include "transfer/memory_fetch.h"

#include "link/command_protocol.h"
#include "transfer/sequence_support.h"
#include "user_interface/user_interface.h"

#include <algorithm>

namespace vtr8 {

bool FetchMemory(CommandProtocol& link, UserInterface& ui, const std::vector<ReadRun>& reads,
                 MemoryImage& image, const std::function<void(int done, int total)>& progress)
{
    const int total = static_cast<int>(reads.size());
    for (int i = 0; i < total; ++i) {
        const ReadRun& run = reads[static_cast<std::size_t>(i)];
        if (!ReadBlock(link, run.address, static_cast<std::uint8_t>(run.count)))
            return false;
        // Two status bytes and the data: anything else would compare stale or missing bytes.
        if (link.parser().ByteCount != run.count + 2) {
            ui.message(QStringLiteral("Převodník na čtení %1 bajtů od adresy %2 vrátil %3 bajtů.")
                           .arg(run.count)
                           .arg(run.address)
                           .arg(std::max(0, link.parser().ByteCount - 2)));
            return false;
        }
        std::vector<std::uint8_t> bytes;
        for (int k = 0; k < run.count; ++k)
            bytes.push_back(
                ReplyByte(link, run.address, static_cast<std::uint16_t>(run.address + k)));
        image.store(run.address, bytes);
        if (progress)
            progress(i + 1, total);
    }
    return true;
}

} // namespace vtr8
