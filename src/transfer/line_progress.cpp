#include "transfer/line_progress.h"

#include "link/command_protocol.h"
#include "transfer/sequence_support.h"
#include "transfer/transfer_context.h"

#include <algorithm>

namespace vtr8 {

LineProgress::LineProgress(TransferContext& ctx, qint64 plannedBytes)
    : ctx_(ctx), start_(ctx.link.lineBytes()), planned_(std::max<qint64>(plannedBytes, 1))
{
    show(0);
    connection_ = QObject::connect(&ctx.link, &CommandProtocol::commandDone, [this] {
        const qint64 done = ctx_.link.lineBytes() - start_;
        show(static_cast<int>(std::min<qint64>(99, done * 100 / planned_)));
    });
}

LineProgress::~LineProgress()
{
    QObject::disconnect(connection_);
}

void LineProgress::finish()
{
    show(100);
}

void LineProgress::show(int percent)
{
    if (percent == shown_)
        return;
    shown_ = percent;
    ShowProgress(ctx_, percent);
}

} // namespace vtr8
