#include "model/zero_span.h"

#include "model/editor_feedback.h"
#include "model/editor_transfer_context.h"
#include "transfer/range_adjustment.h"
#include "transfer/transfer_session.h"

namespace vtr8 {
namespace {

bool adjustRange(EditorTransferContext& ctx, Control& button, RangeLimit limit)
{
    TransferSession session(ctx.link);
    if (!session.active())
        return false;
    MainWindowModel& m = ctx.model;
    DisabledButton busy(m, button);
    const std::optional<RangeRead> range = AdjustRange(ctx, limit, m.Input);
    if (!range)
        return false;
    m.showReadRange(range->start, range->end);
    return true;
}

} // namespace

bool S_DolmezClick(EditorTransferContext& ctx)
{
    return adjustRange(ctx, ctx.model.S_Dolmez, RangeLimit::Start);
}

bool S_HormezClick(EditorTransferContext& ctx)
{
    return adjustRange(ctx, ctx.model.S_Hormez, RangeLimit::End);
}

} // namespace vtr8
