#include "transfer/memory_fetch.h"

#include "link/command_protocol.h"
#include "transfer/sequence_support.h"

namespace vtr8 {

bool FetchMemory(CommandProtocol& link, const std::vector<ReadRun>& reads, MemoryImage& image,
                 const std::function<void(int done, int total)>& progress)
{
    const int total = static_cast<int>(reads.size());
    for (int i = 0; i < total; ++i) {
        const ReadRun& run = reads[static_cast<std::size_t>(i)];
        if (!ReadBlock(link, run.address, static_cast<std::uint8_t>(run.count)))
            return false;
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
