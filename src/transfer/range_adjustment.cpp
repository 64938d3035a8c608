#include "transfer/range_adjustment.h"

#include "link/command_protocol.h"
#include "transfer/sequence_support.h"
#include "transfer/transfer_context.h"
#include "user_interface/user_interface.h"

namespace vtr8 {
namespace {

// The transmitter's response codes that refuse the adjustment.
QString refusalMessage(std::uint8_t responseCode)
{
    switch (responseCode) {
    case 6:
        return QStringLiteral("Procesní hodnota je mimo povolený rozsah.");
    case 9:
        return QStringLiteral("Procesní hodnota je příliž velká.");
    case 10:
        return QStringLiteral("Procesní hodnota je příliž malá.");
    case 14:
        return QStringLiteral("Příliž malé rozpětí vst. signálu.");
    default:
        return QString();
    }
}

} // namespace

std::optional<RangeRead> AdjustRange(TransferContext& ctx, RangeLimit limit,
                                     std::optional<InputType> input)
{
    ShowProgress(ctx, 0);
    const bool start = limit == RangeLimit::Start;
    if (!ctx.ui.confirm(start ? QStringLiteral("Opravdu se má nastavit dolní mez převodníku?")
                              : QStringLiteral("Opravdu se má nastavit horní mez převodníku?")))
        return std::nullopt;
    if (!SendSimpleCommand(ctx.link, start ? Command::NastOfs : Command::NastFS))
        return std::nullopt;
    ShowProgress(ctx, 50);
    const QString refusal = refusalMessage(ctx.link.lastReply().responseCode);
    if (!refusal.isEmpty()) {
        ctx.ui.message(refusal);
        return std::nullopt;
    }
    const RangeEncoding encoding{ctx.state.LinearizationCharacteristic,
                                 ctx.state.RangeCharacteristic, ctx.state.LinearizationCode};
    MemoryImage image;
    if (!FetchRange(ctx, encoding, image))
        return std::nullopt;
    RangeRead range = DecodeRange(image, encoding, input, ctx.workspace);
    if (range.pointFileLine)
        SetPointFileLine(ctx.points, *range.pointFileLine);
    ShowProgress(ctx, 100);
    return range;
}

} // namespace vtr8
