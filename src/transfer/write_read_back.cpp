#include "transfer/write_read_back.h"

#include "device/memory_image.h"
#include "transfer/block_comparison.h"
#include "transfer/memory_fetch.h"
#include "transfer/sequence_support.h"
#include "transfer/transfer_context.h"
#include "transfer/write_blocks.h"

#include <QStringList>

namespace vtr8 {
namespace {

QString blockName(const EepromBlock& block)
{
    const int last = block.address + static_cast<int>(block.data.size()) - 1;
    return last == block.address
               ? QStringLiteral("Blok na adrese %1").arg(block.address)
               : QStringLiteral("Blok na adresách %1–%2").arg(block.address).arg(last);
}

std::vector<QString> differences(const EepromBlock& block, const MemoryImage& image)
{
    ComparisonRules rules;
    rules.expectedWord = QStringLiteral("zapsáno");
    return BlockDifferences(block, image, rules);
}

QString joined(const std::vector<QString>& lines)
{
    QStringList list(lines.begin(), lines.end());
    return list.join(QStringLiteral("; "));
}

} // namespace

bool ReadBackWrittenBlocks(TransferContext& ctx, const std::vector<EepromBlock>& written)
{
    const std::vector<EepromBlock> blocks = FinalBlocks(written);
    MemoryImage image;
    // The write's own progress goes on through the reads.
    if (!FetchMemory(ctx.link, ctx.ui, ReadsCovering(blocks), image))
        return false;

    // Latest first: a byte that several blocks write is the last one's, and a block repaired
    // here updates the picture the earlier ones are checked against.
    for (auto block = blocks.rbegin(); block != blocks.rend(); ++block) {
        const std::vector<QString> found = differences(*block, image);
        if (found.empty())
            continue;
        ctx.ui.message(blockName(*block) +
                       QStringLiteral(" je v převodníku uložen jinak, než byl "
                                      "zapsán: ") +
                       joined(found) + QStringLiteral(". Blok se zapíše znovu."));
        if (!SendEepromBlock(ctx.link, *block) ||
            !FetchMemory(ctx.link, ctx.ui, ReadsCovering({*block}), image))
            return false;
        const std::vector<QString> left = differences(*block, image);
        if (!left.empty()) {
            ctx.ui.message(
                blockName(*block) +
                QStringLiteral(" je v převodníku i po opakovaném zápisu uložen jinak: ") +
                joined(left) + QStringLiteral(". Zápis konfigurace se nepodařilo ověřit."));
            return false;
        }
    }
    return true;
}

} // namespace vtr8
