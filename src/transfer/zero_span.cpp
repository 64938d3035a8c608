#include "transfer/zero_span.h"

#include "link/command_protocol.h"
#include "transfer/editor_feedback.h"
#include "transfer/read_configuration.h"
#include "transfer/sequence_support.h"
#include "transfer/transfer_context.h"
#include "transfer/transfer_session.h"

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

bool adjustRange(TransferContext& ctx, Control& button, const QString& question, Command command)
{
    TransferSession session(ctx.link);
    if (!session.active())
        return false;
    DisabledButton busy(ctx.model, button);
    SetPrenos(ctx.model, 0);
    if (!ctx.ui.confirm(question))
        return false;
    if (!SendSimpleCommand(ctx.link, command))
        return false;
    SetPrenos(ctx.model, 50);
    const QString refusal = refusalMessage(ctx.link.lastReply().responseCode);
    if (!refusal.isEmpty()) {
        ctx.ui.message(refusal);
        return false;
    }
    if (!cteni_mezi(ctx))
        return false;
    SetPrenos(ctx.model, 100);
    return true;
}

} // namespace

bool S_DolmezClick(TransferContext& ctx)
{
    return adjustRange(ctx, ctx.model.S_Dolmez,
                       QStringLiteral("Opravdu se má nastavit dolní mez převodníku?"),
                       Command::NastOfs);
}

bool S_HormezClick(TransferContext& ctx)
{
    return adjustRange(ctx, ctx.model.S_Hormez,
                       QStringLiteral("Opravdu se má nastavit horní mez převodníku?"),
                       Command::NastFS);
}

} // namespace vtr8
